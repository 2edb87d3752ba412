# Writes OUT with a hash of every datagen source, so data written by an older generator is
# recognised as stale even when nobody bumped a version. Rewrites OUT only when the hash
# changes, so an unchanged tree rebuilds nothing.
file(GLOB sources ${DIR}/*.cpp ${DIR}/*.h ${DIR}/music/*.cpp ${DIR}/music/*.h)
list(SORT sources)
set(all "")
foreach(f ${sources})
  file(SHA256 ${f} h)
  string(APPEND all "${h}")
endforeach()
string(SHA256 hash "${all}")
string(SUBSTRING ${hash} 0 16 hash)
set(text "#pragma once\ninline constexpr const char* datagen_source_hash = \"${hash}\";\n")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE ${OUT} "${text}")
endif()
