# Building for the browser with Debian's emscripten: used for both programs
# (scripts/web.sh gives KELWYRM_WEB_PREFIX, where Allegro and zlib for the
# browser are installed).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

set(KELWYRM_WEB_PREFIX "" CACHE PATH "Allegro and zlib built for the browser")

# ASYNCIFY lets the programs' own blocking loops run as they are: every
# rest hands the browser its turn. A program starts when the page says
# (after a click, so that sound may start), keeps its files in the page's
# IndexedDB, and reports its exit status to the page when it ends.
# Allegro's drawing loops never wait: left as they are by ASYNCIFY, they run
# at full speed (they reach their bank switch through a pointer, which
# ASYNCIFY would otherwise take for a possible wait).
string(APPEND CMAKE_CXX_FLAGS_INIT " -I${KELWYRM_WEB_PREFIX}/include")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -L${KELWYRM_WEB_PREFIX}/lib -sASYNCIFY \
-sASYNCIFY_STACK_SIZE=65536 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sINVOKE_RUN=0 \
-sFORCE_FILESYSTEM=1 -lidbfs.js \
-sASYNCIFY_REMOVE=_linear_*,_normal_line* \
-sEXPORTED_RUNTIME_METHODS=callMain,FS,HEAP16,HEAPU8,HEAPF32,HEAP32 -sEXPORTED_FUNCTIONS=_main,_malloc")
