# The browser build, configured with `emcmake cmake -S . -B build-web` (see `make web`): the same
# game/, gfx/ and dashboard/, compiled against SDL 1.2's own headers, with the page's SDL and its
# seams in platform/web/ and the page's frame loop in app/web/. The site lands in
# build-web/site/: index.html, site.js, the game's script, its WebAssembly, its pictures'
# package, the music beside them (streamed, not packed: the game starts without waiting for
# it), the icons and web app manifest that make it installable, and the service worker that
# keeps it all for playing offline; nothing else.
#
# Emscripten 3.1.6 (Debian 12) is the one this build is made and tested with; 3.1.6 to 3.1.x are
# accepted, older ones refused, newer ones warned about: the link flags below rely on 3.1's
# JavaScript libraries.
if(EMSCRIPTEN_VERSION VERSION_LESS 3.1.6 OR EMSCRIPTEN_VERSION VERSION_GREATER_EQUAL 3.2)
    message(FATAL_ERROR "the page is built with emscripten 3.1.6 to 3.1.x, not ${EMSCRIPTEN_VERSION}")
elseif(EMSCRIPTEN_VERSION VERSION_GREATER 3.1.6)
    message(WARNING "the page is tested with emscripten 3.1.6; ${EMSCRIPTEN_VERSION} is untried")
endif()
set(GLIMM_SDL_HEADERS /usr/include/SDL CACHE PATH "SDL 1.2's headers (Debian's libsdl1.2-dev)")
set(GLIMM_STB_HEADERS /usr/include/stb CACHE PATH "stb_image.h (Debian's libstb-dev)")
option(GLIMM_WEB_TEST_HOOKS "Build the page's test hooks in (for the browser tests and bench/web)" OFF)
set(site ${CMAKE_BINARY_DIR}/site)
set(web ${CMAKE_SOURCE_DIR}/platform/web)

# Of platform/ only what the page uses: the desktop's file store, downloads and signal handling
# have page sides in platform/web/ or no place on a page.
file(GLOB sources CONFIGURE_DEPENDS ${web}/*.cpp ${CMAKE_SOURCE_DIR}/gfx/*.cpp
    ${CMAKE_SOURCE_DIR}/game/*.cpp ${CMAKE_SOURCE_DIR}/dashboard/*.cpp
    ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/app/web/*.cpp)
list(APPEND sources ${CMAKE_SOURCE_DIR}/platform/display.cpp
    ${CMAKE_SOURCE_DIR}/platform/frame_clock.cpp ${CMAKE_SOURCE_DIR}/platform/input.cpp)
list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/app/main.cpp)
if(NOT GLIMM_WEB_TEST_HOOKS)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/app/web/test_hooks.cpp)
endif()
file(GLOB scripts CONFIGURE_DEPENDS ${web}/*.js)
list(REMOVE_ITEM scripts ${web}/site.js)
file(GLOB pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/Media/Lumadeck/*)
set(music Media/Game/Mirovanta.ogg)

# The page's code without its entry, shared by the game and the guard's probe.
list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/app/web/main.cpp)
add_library(glimm_page OBJECT ${sources})
target_include_directories(glimm_page PRIVATE ${CMAKE_SOURCE_DIR} ${GLIMM_SDL_HEADERS})
target_include_directories(glimm_page SYSTEM PRIVATE ${GLIMM_STB_HEADERS})
# WebAssembly's 128-bit vectors: the dashboard's capture, blur and fade loops run about four
# times faster with them.
target_compile_options(glimm_page PRIVATE -msimd128)

# Only the JavaScript libraries named here are linked (AUTO_JS_LIBRARIES=0): any call of
# emscripten's own SDL, SDL_image or SDL_mixer, which work on canvases rather than the page's
# plain-memory surfaces, is a link error at every build type. Each belongs in platform/web.
set(page_link_options
    -sAUTO_JS_LIBRARIES=0 -sUSE_SDL=0 -sERROR_ON_UNDEFINED_SYMBOLS=1 -sENVIRONMENT=web
    -sMODULARIZE=1 -sEXPORT_NAME=createGlimm -sINITIAL_MEMORY=33554432 -sALLOW_MEMORY_GROWTH=1
    -sFORCE_FILESYSTEM=1
    "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/Media/Lumadeck@/glimm/Media/Lumadeck")
foreach(script ${scripts})
    list(APPEND page_link_options "SHELL:--js-library ${script}")
endforeach()

add_executable(glimm ${CMAKE_SOURCE_DIR}/app/web/main.cpp $<TARGET_OBJECTS:glimm_page>)
target_include_directories(glimm PRIVATE ${CMAKE_SOURCE_DIR} ${GLIMM_SDL_HEADERS})
target_link_options(glimm PRIVATE ${page_link_options})
set_target_properties(glimm PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${site}
    LINK_DEPENDS "${scripts};${pictures}")

# The guard's proof (tests/web/link-guard): the page with one call each of SDL, SDL_image and
# SDL_mixer that it does not provide must fail to link. Built only when asked for.
add_executable(glimm_reaches_sdl EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/web/reaches_sdl.cpp
    $<TARGET_OBJECTS:glimm_page>)
target_include_directories(glimm_reaches_sdl PRIVATE ${CMAKE_SOURCE_DIR} ${GLIMM_SDL_HEADERS})
target_link_options(glimm_reaches_sdl PRIVATE ${page_link_options})
set_target_properties(glimm_reaches_sdl PROPERTIES SUFFIX ".js"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/probe)

# Copied whenever they change, not only when the game relinks: an edit of the page alone must
# reach the site.
set(icons ${CMAKE_SOURCE_DIR}/packaging/icons)
add_custom_command(OUTPUT ${site}/index.html ${site}/site.js ${site}/glimm.png
    ${site}/glimm-192.png ${site}/glimm-512.png ${site}/manifest.webmanifest ${site}/${music}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/Media/Game
    COMMAND ${CMAKE_COMMAND} -E copy ${web}/index.html ${site}/index.html
    COMMAND ${CMAKE_COMMAND} -E copy ${web}/site.js ${site}/site.js
    COMMAND ${CMAKE_COMMAND} -E copy ${web}/manifest.webmanifest ${site}/manifest.webmanifest
    COMMAND ${CMAKE_COMMAND} -E copy ${icons}/64x64/glimm.png ${site}/glimm.png
    COMMAND ${CMAKE_COMMAND} -E copy ${icons}/192x192/glimm.png ${site}/glimm-192.png
    COMMAND ${CMAKE_COMMAND} -E copy ${icons}/512x512/glimm.png ${site}/glimm-512.png
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/${music} ${site}/${music}
    DEPENDS ${web}/index.html ${web}/site.js ${web}/manifest.webmanifest
        ${icons}/64x64/glimm.png ${icons}/192x192/glimm.png ${icons}/512x512/glimm.png
        ${CMAKE_SOURCE_DIR}/${music})
add_custom_target(glimm-page ALL DEPENDS ${site}/index.html ${site}/site.js ${site}/glimm.png
    ${site}/glimm-192.png ${site}/glimm-512.png ${site}/manifest.webmanifest ${site}/${music})

# The service worker last, named by everything above: it looks at the files at every build and
# rewrites itself only when one changed.
add_custom_target(glimm-offline ALL
    COMMAND ${CMAKE_COMMAND} -DSITE=${site} -DTEMPLATE=${web}/service_worker.js.in
        -P ${CMAKE_SOURCE_DIR}/cmake/WebOffline.cmake
    DEPENDS ${web}/service_worker.js.in ${CMAKE_SOURCE_DIR}/cmake/WebOffline.cmake
    VERBATIM)
add_dependencies(glimm-offline glimm glimm-page)
