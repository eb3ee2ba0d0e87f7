# Installs the build into a fresh prefix and checks that every file of a desktop program is
# there, and that the installed program answers --version without a display.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path
        bin/kringbaas
        share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml
        share/icons/hicolor/scalable/apps/${APP_ID}.svg
        share/icons/hicolor/48x48/apps/${APP_ID}.png
        share/icons/hicolor/64x64/apps/${APP_ID}.png
        share/icons/hicolor/128x128/apps/${APP_ID}.png
        share/icons/hicolor/256x256/apps/${APP_ID}.png)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
# The printing module, in the program's own folder of the library folder.
file(GLOB_RECURSE module ${PREFIX}/lib*/kringbaas/kringbaas-printing.so)
if(NOT module)
    message(FATAL_ERROR "not installed: the module kringbaas-printing.so")
endif()
execute_process(COMMAND ${PREFIX}/bin/kringbaas --version OUTPUT_VARIABLE version
                RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version MATCHES "^Kringbaas [0-9]")
    message(FATAL_ERROR "kringbaas --version: ${result} ${version}")
endif()
file(REMOVE_RECURSE ${PREFIX})
