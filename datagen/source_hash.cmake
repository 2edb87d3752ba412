# Writes OUT with hashes of the datagen sources: one over the files here, one over music/.
# Data written by an older generator is then recognised as stale even when nobody bumped
# a version, and editing the soundtrack does not regenerate the rest (nor the reverse).
# OUT is rewritten only when a hash changes, so an unchanged tree rebuilds nothing.
function(hash_of out)
  file(GLOB sources ${ARGN})
  list(SORT sources)
  set(all "")
  foreach(f ${sources})
    file(SHA256 ${f} h)
    string(APPEND all "${h}")
  endforeach()
  string(SHA256 hash "${all}")
  string(SUBSTRING ${hash} 0 16 hash)
  set(${out} ${hash} PARENT_SCOPE)
endfunction()

hash_of(own ${DIR}/*.cpp ${DIR}/*.h)
hash_of(music ${DIR}/music/*.cpp ${DIR}/music/*.h)
set(text "#pragma once\ninline constexpr const char* datagen_source_hash = \"${own}\";\n")
string(APPEND text "inline constexpr const char* datagen_music_hash = \"${music}\";\n")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE ${OUT} "${text}")
endif()
