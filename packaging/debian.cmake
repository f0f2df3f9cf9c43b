# The Debian package, built by CPack from what `cmake --install` lays out.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dictation helper that prints speech as lines of JSON")
set(CPACK_PACKAGE_DESCRIPTION [[pilto-listen is started by a host application while its user talks into a
text field. It captures the microphone, recognizes speech offline with
PocketSphinx's US English model, and prints each partial and the final
transcript as one JSON object per line on standard output, typed as a person
would type it. A stop line on standard input ends the dictation.]])
set(CPACK_PACKAGE_CONTACT
  "pilto-listen maintainers <maintainers@users.noreply.c-seed-aa13ce93.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Merged with what dpkg-shlibdeps finds: the model is read at run time, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "pocketsphinx-en-us")
# ALSA's default device reaches the desktop's audio server through one of these; the word lists
# tell names from other words.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libasound2-plugins | pipewire-alsa, wamerican, wamerican-small")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/compress_documents.cmake)
include(CPack)
