# The browser build, configured with `emcmake cmake -S . -B build-web` (see `make web`): the same
# game/, gfx/ and dashboard/, compiled against SDL 1.2's own headers, with the page's SDL in
# platform/web/ and the page's frame loop in app/web/. The site lands in build-web/site/:
# index.html, the game's script, its WebAssembly, its media package and its icon, nothing else.
set(GLIMM_SDL_HEADERS /usr/include/SDL CACHE PATH "SDL 1.2's headers (Debian's libsdl1.2-dev)")
set(GLIMM_STB_HEADERS /usr/include/stb CACHE PATH "stb_image.h (Debian's libstb-dev)")
set(site ${CMAKE_BINARY_DIR}/site)
set(web ${CMAKE_SOURCE_DIR}/platform/web)

file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/platform/*.cpp ${web}/*.cpp ${CMAKE_SOURCE_DIR}/gfx/*.cpp
    ${CMAKE_SOURCE_DIR}/game/*.cpp ${CMAKE_SOURCE_DIR}/dashboard/*.cpp
    ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/app/web/*.cpp)
list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/app/main.cpp)
file(GLOB media CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/Media/*/*)

add_executable(glimm ${sources})
target_include_directories(glimm PRIVATE ${CMAKE_SOURCE_DIR} ${GLIMM_SDL_HEADERS})
target_include_directories(glimm SYSTEM PRIVATE ${GLIMM_STB_HEADERS})
# WebAssembly's 128-bit vectors: the dashboard's capture, blur and fade loops run about four
# times faster with them.
target_compile_options(glimm PRIVATE -msimd128)
# Emscripten's own SDL is left out; its JavaScript SDL functions still stand by for any call the
# page does not provide, so the link's output is checked for them (WebImports.cmake).
target_link_options(glimm PRIVATE
    -sUSE_SDL=0 -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_NAME=createGlimm
    -sINITIAL_MEMORY=33554432 -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1 -lidbfs.js
    "SHELL:--js-library ${web}/page.js" "SHELL:--pre-js ${web}/storage.js"
    "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/Media/Game@/glimm/Media/Game"
    "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/Media/Lumadeck@/glimm/Media/Lumadeck")
set_target_properties(glimm PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${site}
    LINK_DEPENDS "${web}/page.js;${web}/storage.js;${media}")
add_custom_command(TARGET glimm POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DSCRIPT=$<TARGET_FILE:glimm> -P ${CMAKE_SOURCE_DIR}/cmake/WebImports.cmake)
# Copied whenever they change, not only when the game relinks: an edit of the page alone must
# reach the site.
set(icon ${CMAKE_SOURCE_DIR}/packaging/icons/64x64/glimm.png)
add_custom_command(OUTPUT ${site}/index.html ${site}/glimm.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
    COMMAND ${CMAKE_COMMAND} -E copy ${web}/index.html ${site}/index.html
    COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${site}/glimm.png
    DEPENDS ${web}/index.html ${icon})
add_custom_target(glimm-page ALL DEPENDS ${site}/index.html ${site}/glimm.png)
