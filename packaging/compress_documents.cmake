# Run by CPack on its staging tree: Debian installs manual pages and changelogs compressed.
file(GLOB_RECURSE documents
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog)
foreach(document IN LISTS documents)
  execute_process(COMMAND gzip -9n ${document} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
