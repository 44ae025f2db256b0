# Copies SRC into DST file by file. A file is copied only when it is missing in DST or the
# source is newer, so settings, resource lists and scenes that the game rewrote survive a
# rebuild unless the authored data was edited after them.
if(NOT DEFINED SRC OR NOT DEFINED DST)
  message(FATAL_ERROR "StageRuntime: SRC and DST must be given")
endif()
file(MAKE_DIRECTORY "${DST}")
file(MAKE_DIRECTORY "${DST}/logs")
file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*")
foreach(rel IN LISTS files)
  set(from "${SRC}/${rel}")
  set(to "${DST}/${rel}")
  if(NOT EXISTS "${to}" OR "${from}" IS_NEWER_THAN "${to}")
    get_filename_component(dir "${to}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY_FILE "${from}" "${to}")
  endif()
endforeach()
