# Makes DESTINATION hold the files of SOURCE and nothing else: a changed page
# is copied again, a page gone from the source is gone from the copy, so the
# help window never shows a page the source no longer has.
# cmake -DSOURCE=<folder> -DDESTINATION=<folder> -P SyncHelpPages.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY "${SOURCE}" OR NOT DESTINATION)
  message(FATAL_ERROR "SyncHelpPages: SOURCE must be a folder and DESTINATION given")
endif()
file(GLOB_RECURSE pages RELATIVE "${SOURCE}" "${SOURCE}/*")
file(GLOB_RECURSE copies RELATIVE "${DESTINATION}" "${DESTINATION}/*")
foreach(copy IN LISTS copies)
  if(NOT copy IN_LIST pages)
    file(REMOVE "${DESTINATION}/${copy}")
  endif()
endforeach()
foreach(page IN LISTS pages)
  get_filename_component(folder "${DESTINATION}/${page}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${SOURCE}/${page}" "${DESTINATION}/${page}" ONLY_IF_DIFFERENT)
endforeach()
