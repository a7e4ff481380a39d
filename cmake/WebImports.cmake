# Run after the page is linked (cmake -DSCRIPT=<glimm.js> -P WebImports.cmake): fails when the
# page would reach one of emscripten's own SDL, SDL_image or SDL_mixer functions, which work on
# canvases rather than on the page's plain-memory surfaces. Each belongs in platform/web instead.
file(READ "${SCRIPT}" text)
string(REGEX MATCHALL "\"[A-Za-z0-9_$]+\":_(SDL|IMG|Mix)_[A-Za-z0-9_]+" imports "${text}")
if(imports)
    string(REGEX REPLACE "\"[A-Za-z0-9_$]+\":_" "" names "${imports}")
    list(REMOVE_DUPLICATES names)
    list(JOIN names ", " names)
    file(REMOVE "${SCRIPT}")
    message(FATAL_ERROR "the page would call emscripten's own ${names}: give it to platform/web")
endif()
