# Read by cpack once per generator: the archive takes the portable layout, the .deb the
# system one (every component that a plain install writes).
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_THORNWAKE_BUILD_DIR};thornwake;portable;/")
endif()
