# Run by cpack on its staging folder before it packs it: a manual page that an install rule put
# there uncompressed is compressed as Debian's policy asks (gzip -9, no time stamp), so every
# folder's pages reach the package in the right form however they are installed.
file(GLOB_RECURSE pages LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/*")
foreach(page ${pages})
  if(NOT page MATCHES "\\.gz$" AND NOT IS_SYMLINK "${page}")
    execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot compress the manual page ${page}")
    endif()
    message(STATUS "Compressed the manual page ${page}")
  endif()
endforeach()
