# Configures (once) and builds the web package under emscripten:
#   cmake -DSOURCE_DIR=<tree> -DBUILD_DIR=<tree>/build-wasm -P web/BuildPackage.cmake
# for ./dev wasm and for the tests that need the package, so both share one
# build directory.
foreach(var SOURCE_DIR BUILD_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "BuildPackage.cmake needs -D${var}=...")
    endif()
endforeach()
find_program(EMCMAKE emcmake REQUIRED)
# emscripten's compiler driver loads Debian's node modules from there.
if(NOT DEFINED ENV{NODE_PATH})
    set(ENV{NODE_PATH} /usr/share/nodejs)
endif()
if(NOT EXISTS ${BUILD_DIR}/CMakeCache.txt)
    execute_process(COMMAND ${EMCMAKE} ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G Ninja
            -DCMAKE_BUILD_TYPE=Release
        OUTPUT_QUIET RESULT_VARIABLE configured)
    if(NOT configured EQUAL 0)
        message(FATAL_ERROR "configuring the web package in ${BUILD_DIR} failed")
    endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "building the web package in ${BUILD_DIR} failed")
endif()
