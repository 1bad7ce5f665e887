# The Debian package, made with "cpack -G DEB" in a Release or RelWithDebInfo tree
# (tools/package-test.sh builds, checks and installs it).
set(CPACK_PACKAGE_NAME tessmar)
set(CPACK_PACKAGE_VENDOR "The Tessmar developers")
set(CPACK_PACKAGE_CONTACT "The Tessmar developers <tessmar@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "singing trainer showing the sung note live")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tessmar.example.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out for the font "MS Sans Serif", which fonts-wine ships; Qt's own
# texts (dialogs, standard buttons) are German with qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, qt6-translations-l10n")
# The extended description; cpack puts the summary above before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessmar shows the note you sing into the microphone, live, by name and
octave (A-3 for 440 Hz) in a column of the twelve note names, with the
waveform beside it. It records your singing to a WAV file and plays the
recording back. Before each recording it sets up the sound card's mixer.
The user interface is German.
.
Also included: tessmar-notes prints the note sequence of a recording,
tessmar-demo writes a sung scale to a WAV file and tessmar-capture
records from the input without the window.")

include(CPack)
