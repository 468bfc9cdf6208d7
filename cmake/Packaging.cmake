# The Debian package that ./package builds: CPack's DEB generator over what
# `cmake --install` puts under the prefix (/usr for the package), with the
# documents Debian asks of every package. Depends come from the shared
# libraries the programs link (dpkg-shlibdeps).

# The changelog's newest entry is the version being packaged.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^voxelview \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog must begin with an entry for version "
                      "${PROJECT_VERSION}, the project's; it begins: ${newest_entry}")
endif()

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/voxelview)
add_custom_command(
  OUTPUT changelog.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
add_custom_target(voxelview_changelog ALL DEPENDS changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME voxelview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT
    "voxelview maintainers <maintainers@users.noreply.c-seed-bc86b5d1.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer of an endless landscape of cubic blocks")
set(CPACK_PACKAGE_DESCRIPTION
    "voxelview flies a camera over a landscape of cubic blocks that is generated\n"
    "from fractal value noise as it goes: hills of grass with snow caps, lakes\n"
    "and caves, in a 1024 x 768 OpenGL window that the mouse steers. The blocks'\n"
    "looks come from a Lua script and two texture atlases, which a user can\n"
    "replace with a pack of their own.\n"
    "\n"
    "voxeltool checks such a pack, draws maps of the world, exports regions to\n"
    "glTF, takes pictures of what the viewer shows and times the generation.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
