# What the install gets beyond the files of the source tree: the icon at the
# icon theme's fixed sizes, rendered from its SVG, and the compressed manual
# page.

set(MDK_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/resources/package)
set(MDK_PACKAGE_STAGE ${PROJECT_BINARY_DIR}/package)

add_executable(mdk_render_icon tools/render_icon.cpp)
target_link_libraries(mdk_render_icon PRIVATE Qt6::Svg)
mdk_warnings(mdk_render_icon)

set(madeFiles)
foreach(size 16 22 24 32 48 64 128 256)
  set(folder ${MDK_PACKAGE_STAGE}/icons/${size}x${size})
  add_custom_command(OUTPUT ${folder}/mellowdeck.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND mdk_render_icon ${PROJECT_SOURCE_DIR}/resources/icons/mainicon.svg
            ${folder}/mellowdeck.png ${size}
    DEPENDS mdk_render_icon ${PROJECT_SOURCE_DIR}/resources/icons/mainicon.svg
    COMMENT "Rendering the ${size} px icon"
    VERBATIM)
  list(APPEND madeFiles ${folder}/mellowdeck.png)
  install(FILES ${folder}/mellowdeck.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Without a name and time stamp in the gzip header the package is the same
# from build to build.
find_program(MDK_GZIP gzip REQUIRED)
foreach(file mellowdeck.1)
  add_custom_command(OUTPUT ${MDK_PACKAGE_STAGE}/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${MDK_PACKAGE_DIR}/${file} ${MDK_PACKAGE_STAGE}/${file}
    COMMAND ${MDK_GZIP} -9nf ${MDK_PACKAGE_STAGE}/${file}
    DEPENDS ${MDK_PACKAGE_DIR}/${file}
    COMMENT "Compressing ${file}"
    VERBATIM)
  list(APPEND madeFiles ${MDK_PACKAGE_STAGE}/${file}.gz)
endforeach()
add_custom_target(mdk_package_files ALL DEPENDS ${madeFiles})

install(FILES ${MDK_PACKAGE_STAGE}/mellowdeck.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

