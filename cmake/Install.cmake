# Installed like a desktop program. The executable and its "Mahnbescheid Runtime" folder share one
# program folder, because the program looks for its data beside its own executable; a launcher
# on the PATH, a desktop entry, an icon and the document MIME type make a double-click on a
# ".kln" file open it (the document is the program's first argument).
set(KALNO_PROGRAM_DIR "lib/kalno-mahnbescheid")
set(KALNO_PACKAGING_SRC "${CMAKE_SOURCE_DIR}/packaging")
set(KALNO_PACKAGING_DST "${CMAKE_BINARY_DIR}/packaging")

install(TARGETS mahnbescheid RUNTIME DESTINATION "${KALNO_PROGRAM_DIR}")
# The build's copy of the runtime folder: the shipped data plus the pictures drawn at build time.
install(DIRECTORY "${KALNO_RUNTIME_DST}" DESTINATION "${KALNO_PROGRAM_DIR}")

# The launcher is a relative symbolic link. The kernel resolves it on start, so the program's
# own path (/proc/self/exe, applicationDirPath) is the real one and the runtime folder is found;
# being relative, it stays right under any prefix, DESTDIR or unpacked package root.
file(MAKE_DIRECTORY "${KALNO_PACKAGING_DST}/bin")
file(CREATE_LINK "../${KALNO_PROGRAM_DIR}/mahnbescheid" "${KALNO_PACKAGING_DST}/bin/mahnbescheid" SYMBOLIC)
install(FILES "${KALNO_PACKAGING_DST}/bin/mahnbescheid" DESTINATION bin)

install(FILES "${KALNO_PACKAGING_SRC}/kalno-mahnbescheid.desktop" DESTINATION share/applications)
install(FILES "${KALNO_PACKAGING_SRC}/kalno-mahnbescheid.xml" DESTINATION share/mime/packages)

# The icon is drawn at build time: one scalable SVG and PNGs of the usual hicolor sizes
# (48 x 48 is the one every desktop looks for).
set(KALNO_ICON_SIZES 16 24 32 48 64 128 256)
set(KALNO_ICON_DIR "${KALNO_PACKAGING_DST}/icons")
add_executable(kalno_icon "${KALNO_PACKAGING_SRC}/icon/main.cpp")
target_link_libraries(kalno_icon PRIVATE Qt6::Gui)
set(KALNO_ICON_FILES "${KALNO_ICON_DIR}/scalable/kalno-mahnbescheid.svg")
foreach(size ${KALNO_ICON_SIZES})
  list(APPEND KALNO_ICON_FILES "${KALNO_ICON_DIR}/${size}x${size}/kalno-mahnbescheid.png")
endforeach()
add_custom_command(OUTPUT ${KALNO_ICON_FILES}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
          $<TARGET_FILE:kalno_icon> "${KALNO_ICON_DIR}" ${KALNO_ICON_SIZES}
  DEPENDS kalno_icon
  COMMENT "Drawing the program icon"
  VERBATIM)
add_custom_target(kalno_icons ALL DEPENDS ${KALNO_ICON_FILES})
# Whatever builds the program also builds what its installation needs.
add_dependencies(mahnbescheid kalno_icons)
install(FILES "${KALNO_ICON_DIR}/scalable/kalno-mahnbescheid.svg" DESTINATION share/icons/hicolor/scalable/apps)
foreach(size ${KALNO_ICON_SIZES})
  install(FILES "${KALNO_ICON_DIR}/${size}x${size}/kalno-mahnbescheid.png"
          DESTINATION "share/icons/hicolor/${size}x${size}/apps")
endforeach()

# Debian package: `cpack -G DEB` in the build folder. The desktop, MIME and icon caches are
# refreshed by the triggers of desktop-file-utils, shared-mime-info and the icon theme packages,
# so the package needs no maintainer scripts.
set(KALNO_DEB_MAINTAINER "KALNO Mahnbescheid <packaging@kalno.invalid>"
    CACHE STRING "Maintainer field of the Debian package (name and e-mail address)")
# Values go into CPackConfig.cmake as they are written here (quotes in the description).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kalno-mahnbescheid")
set(CPACK_PACKAGE_VENDOR "KALNO")
set(CPACK_PACKAGE_CONTACT "${KALNO_DEB_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Mahnbescheid-Antrag ausfüllen und drucken / fill in a payment order form")
set(CPACK_PACKAGE_DESCRIPTION [=[
Ein Assistent für den Antrag auf Erlass eines Mahnbescheides: Schritt für
Schritt ausfüllen, prüfen, auf das zweiseitige KALNO-Formular drucken und als
".kln"-Datei speichern.

A step-by-step wizard for the German application for a payment order
("Antrag auf Erlass eines Mahnbescheides"): fill it in, check it, print it
onto the two-page KALNO pre-printed form and save it as a ".kln" document.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kalno.de/")
# Shipped without debug information: the package stays small and quick to build.
set(CPACK_STRIP_FILES ON)
# The form is printed with fonts of Arial's metrics, which Liberation provides; the Qt plugins
# for the display, JPEG pictures and printing come with the Qt libraries themselves. Qt's own
# dialogs, buttons and context menus read German only with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-translations-l10n")
find_program(KALNO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KALNO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  # Without dpkg-dev the libraries are named by hand (Debian 12's package names).
  string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         "libc6, libstdc++6, libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), "
         "libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libfreetype6, ")
  if(KALNO_SANITIZE)
    string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libasan8, libubsan1, ")
  endif()
endif()
set(CPACK_SOURCE_GENERATOR "TGZ")
# A source package of the checkout, without the build folders in it.
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/")
include(CPack)

if(KALNO_TESTS)
  add_subdirectory(tests/install)
endif()
