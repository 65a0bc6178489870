# cmake --install: the two libraries, the copier beside the libraries'
# run-time files, the public headers in include/kiv and the relocatable
# KivConfiguration package exporting Kiv::Configuration and Kiv::Host.
include(CMakePackageConfigHelpers)

set(KIV_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KivConfiguration)

# Installed libraries find each other in their own folder.
if(UNIX AND NOT APPLE)
    set_target_properties(kiv_configuration kiv_host PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()

install(TARGETS kiv_configuration kiv_host
    EXPORT KivConfigurationTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
)
# On Windows this is the folder of the DLLs, where a host's executable lives.
install(TARGETS kiv_copy_file RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

get_property(KIV_INSTALLED_HEADERS GLOBAL PROPERTY KIV_PUBLIC_HEADERS)
install(FILES ${KIV_INSTALLED_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kiv)

install(EXPORT KivConfigurationTargets
    NAMESPACE Kiv::
    DESTINATION ${KIV_PACKAGE_DIR}
)

set(KIV_COPY_FILE_INSTALL_PATH ${CMAKE_INSTALL_BINDIR}/kiv_copy_file${CMAKE_EXECUTABLE_SUFFIX})
configure_package_config_file(
    ${CMAKE_CURRENT_LIST_DIR}/KivConfigurationConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/KivConfigurationConfig.cmake
    INSTALL_DESTINATION ${KIV_PACKAGE_DIR}
    PATH_VARS KIV_COPY_FILE_INSTALL_PATH
)
# A host asking for 1.1 accepts any later 1.x, never 2.0.
write_basic_package_version_file(
    ${CMAKE_CURRENT_BINARY_DIR}/KivConfigurationConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion
)
install(FILES
    ${CMAKE_CURRENT_BINARY_DIR}/KivConfigurationConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/KivConfigurationConfigVersion.cmake
    DESTINATION ${KIV_PACKAGE_DIR}
)
