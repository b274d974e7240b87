# Run by cpack on its staging folder before it packs it: the manual pages and the changelog
# that install rules put there in plain are compressed as Debian's policy asks (gzip -9, no time
# stamp), so every folder's pages reach the package in the right form however they are installed.
file(GLOB_RECURSE pages LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/*")
file(GLOB changelogs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog")
foreach(document ${pages} ${changelogs})
  if(NOT document MATCHES "\\.gz$" AND NOT IS_SYMLINK "${document}")
    execute_process(COMMAND gzip -9nf "${document}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot compress ${document}")
    endif()
  endif()
endforeach()
