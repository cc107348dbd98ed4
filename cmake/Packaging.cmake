# What `cmake --install` puts where: on Linux zerkon-cli with its man page and bash completion, which CPack packs as
# the .deb; on Windows both programs with a short user guide, the licence and the sample aircraft, flat, as the zip
# holds them (scripts/dist.sh packs it).
include(GNUInstallDirs)

if(WIN32)
    install(TARGETS zerkon-cli RUNTIME DESTINATION .)
    if(ZERKON_BUILD_UI)
        install(TARGETS zerkon RUNTIME DESTINATION .)
    endif()
    # Windows users read text files in Notepad: CR LF.
    configure_file(packaging/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
    install(FILES "${PROJECT_BINARY_DIR}/README.txt" "${PROJECT_BINARY_DIR}/LICENSE.txt" examples/kestrel.dp
            DESTINATION .)
else()
    install(TARGETS zerkon-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

    # Manual pages are installed compressed; -n keeps the time and name out, so the package stays reproducible.
    # The man page and the Debian changelog (which a package needs) carry the version and are installed compressed;
    # -n keeps the time and name out of the gzip header, so the package stays reproducible.
    configure_file(docs/zerkon-cli.1.in zerkon-cli.1 @ONLY)
    configure_file(packaging/changelog.in changelog @ONLY)
    # The man page's SEE ALSO: the player guide and every command's full output.
    configure_file(README.md README.md COPYONLY)
    configure_file(docs/cli.md cli.md COPYONLY)
    foreach(name zerkon-cli.1 changelog README.md cli.md)
        add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/${name}.gz"
            COMMAND gzip -9 -n -c "${PROJECT_BINARY_DIR}/${name}" > "${PROJECT_BINARY_DIR}/${name}.gz"
            DEPENDS "${PROJECT_BINARY_DIR}/${name}"
            VERBATIM)
    endforeach()
    add_custom_target(zerkon_compressed_docs ALL
        DEPENDS "${PROJECT_BINARY_DIR}/zerkon-cli.1.gz" "${PROJECT_BINARY_DIR}/changelog.gz"
                "${PROJECT_BINARY_DIR}/README.md.gz" "${PROJECT_BINARY_DIR}/cli.md.gz")
    install(FILES "${PROJECT_BINARY_DIR}/zerkon-cli.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    install(FILES packaging/zerkon-cli.bash DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions"
            RENAME zerkon-cli)

    install(FILES "${PROJECT_BINARY_DIR}/changelog.gz" "${PROJECT_BINARY_DIR}/README.md.gz"
                  "${PROJECT_BINARY_DIR}/cli.md.gz" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/zerkon-cli")
    install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/zerkon-cli" RENAME copyright)

    set(CPACK_PACKAGE_NAME zerkon-cli)
    set(CPACK_PACKAGE_VENDOR "Zerkon developers")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "aims the guns of a flight-simulation aircraft's DP file")
    set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_PACKAGE_NAME zerkon-cli)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zerkon developers <zerkon-developers@example.org>")
    # CPack puts the summary above this, as the synopsis.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "zerkon-cli aims the guns of a flight-simulation aircraft so that their
fire converges at a chosen range and elevation. It rewrites the gun
stations of the aircraft's DP file, keeps the previous file as a
numbered backup and deletes the stale compiled copy. It also reports
the aim without writing, lists and restores backups, and draws the
lines of fire as an SVG picture.")
    # The dependencies are read from the program's libraries by dpkg-shlibdeps, not written by hand.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    include(CPack)
endif()
