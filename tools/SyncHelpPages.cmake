# Makes DESTINATION hold the files and folders of SOURCE and nothing else: a
# changed page is copied again, a page or folder gone from the source is gone
# from the copy, so the help window never shows a page the source no longer
# has and the copy keeps no folder of an earlier layout.
# cmake -DSOURCE=<folder> -DDESTINATION=<folder> -P SyncHelpPages.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY "${SOURCE}" OR NOT DESTINATION)
  message(FATAL_ERROR "SyncHelpPages: SOURCE must be a folder and DESTINATION given")
endif()
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*")
file(GLOB_RECURSE copies LIST_DIRECTORIES true RELATIVE "${DESTINATION}" "${DESTINATION}/*")
# A copy stays only where the source has the same entry, of the same kind:
# a file where the source now has a folder goes, and the other way round.
foreach(copy IN LISTS copies)
  set(stale TRUE)
  if(copy IN_LIST entries)
    if(IS_DIRECTORY "${SOURCE}/${copy}" AND IS_DIRECTORY "${DESTINATION}/${copy}")
      set(stale FALSE)
    elseif(NOT IS_DIRECTORY "${SOURCE}/${copy}" AND NOT IS_DIRECTORY "${DESTINATION}/${copy}")
      set(stale FALSE)
    endif()
  endif()
  if(stale)
    file(REMOVE_RECURSE "${DESTINATION}/${copy}")
  endif()
endforeach()
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${SOURCE}/${entry}")
    file(MAKE_DIRECTORY "${DESTINATION}/${entry}")
  else()
    get_filename_component(folder "${DESTINATION}/${entry}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SOURCE}/${entry}" "${DESTINATION}/${entry}" ONLY_IF_DIFFERENT)
  endif()
endforeach()
