# Install rules and the Debian package. The program goes to bin/, its help
# files to share/kelvaro-photo-wizard/ (where src/platform/DataFiles.cpp
# looks for them relative to the program), and the desktop integration to
# share/applications, share/icons and share/metainfo. Nothing of the tests,
# benchmarks or the demo site is installed.
include(GNUInstallDirs)

set(KPW_APP_ID de.zentrafold.KelvaroPhotoWizard)
set(KPW_PACKAGE_NAME kelvaro-photo-wizard)
set(KPW_HOMEPAGE "https://www.zentrafold.de/kelvaro-photo-wizard/"
    CACHE STRING "Homepage named in the package and the AppStream metadata")
set(KPW_SCREENSHOT_URL "${KPW_HOMEPAGE}screenshots"
    CACHE STRING "Where the published copies of docs/screenshots/*.png are")
set(KPW_MAINTAINER "Zentrafold <kelvaro@zentrafold.de>"
    CACHE STRING "Maintainer field of the Debian package")
set(KPW_PROJECT_LICENSE "LicenseRef-proprietary")

set(kpw_data ${PROJECT_SOURCE_DIR}/data)
set(kpw_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(kpw_docdir ${CMAKE_INSTALL_DATADIR}/doc/${KPW_PACKAGE_NAME})

install(TARGETS kelvaro-photo-wizard RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/help/English.HLP
              ${PROJECT_SOURCE_DIR}/src/ui/help/German.HLP
        DESTINATION ${CMAKE_INSTALL_DATADIR}/${KPW_PACKAGE_NAME})
install(FILES ${kpw_data}/${KPW_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${kpw_data}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

configure_file(${kpw_data}/${KPW_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/data/${KPW_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/data/${KPW_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian wants the copyright file and a compressed changelog in the package's
# documentation folder; the changelog's newest entry is this version.
file(STRINGS ${kpw_packaging}/changelog kpw_changelog_head LIMIT_COUNT 1)
if(NOT kpw_changelog_head MATCHES "^${KPW_PACKAGE_NAME} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not begin with version ${PROJECT_VERSION}: "
                      "${kpw_changelog_head}")
endif()
# Debian's documentation files and the manual page are installed compressed.
set(kpw_gz_dir ${CMAKE_BINARY_DIR}/packaging)
foreach(kpw_doc changelog kelvaro-photo-wizard.1)
  add_custom_command(
    OUTPUT ${kpw_gz_dir}/${kpw_doc}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${kpw_gz_dir}
    COMMAND gzip -9 -n -c ${kpw_packaging}/${kpw_doc} > ${kpw_gz_dir}/${kpw_doc}.gz
    DEPENDS ${kpw_packaging}/${kpw_doc}
    VERBATIM)
endforeach()
add_custom_target(kpw_packaging_docs ALL
  DEPENDS ${kpw_gz_dir}/changelog.gz ${kpw_gz_dir}/kelvaro-photo-wizard.1.gz)
install(FILES ${kpw_packaging}/copyright ${kpw_gz_dir}/changelog.gz DESTINATION ${kpw_docdir})
install(FILES ${kpw_gz_dir}/kelvaro-photo-wizard.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${KPW_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR Zentrafold)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KPW_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${KPW_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "steps through the photos of a photo site by number")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${KPW_PACKAGE_NAME})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KPW_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KPW_HOMEPAGE})
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kelvaro Photo Wizard puts the index you type, or step with the arrow keys
or the mouse wheel, into an address template and shows the page in an
embedded browser view, while a hidden second view loads the next page
ahead. Photos that do not exist are skipped by themselves, favourite
photos and users are kept with a remark, and all texts are in English
or German.")
# The libraries come from the binary (the engine's helper process with them);
# the display plug-ins and Qt's translations (its dialogs in German) are
# loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
include(CPack)
