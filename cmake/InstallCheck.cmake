# cmake -DBUILD_DIR=... -DPREFIX=... -DSOURCE_DIR=... -DLIBDIR=lib [-DSANITIZE_FLAGS=...] -P InstallCheck.cmake
# Installs BUILD_DIR into an empty PREFIX and fails on anything missing or wrong.
foreach(var BUILD_DIR PREFIX SOURCE_DIR LIBDIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "InstallCheck: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}); is the build complete?\n${out}${err}")
endif()

set(expected
    bin/zindle
    bin/zindle-cli
    share/zindle/Zindle.html
    share/zindle/sound-bank.png
    share/zindle/About.wav
    share/applications/zindle.desktop
    share/icons/hicolor/32x32/apps/zindle.png
    share/mime/packages/zindle.xml
    ${LIBDIR}/libzindle.so
    ${LIBDIR}/pkgconfig/zindle.pc
    include/zindle/zindle.h)
set(missing "")
foreach(file ${expected})
    if(NOT EXISTS ${PREFIX}/${file} OR IS_DIRECTORY ${PREFIX}/${file})
        list(APPEND missing ${file})
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "not installed: ${missing}")
endif()

# The installed programs run; the editor answers --help and --version
# without a display.
execute_process(COMMAND ${PREFIX}/bin/zindle-cli --version RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version MATCHES "[0-9]+\\.[0-9]+")
    message(FATAL_ERROR "installed zindle-cli --version failed: ${status} '${version}'")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
        ${PREFIX}/bin/zindle --version
    RESULT_VARIABLE status OUTPUT_VARIABLE version ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT version MATCHES "^zindle [0-9]+\\.[0-9]+")
    message(FATAL_ERROR "installed zindle --version failed: ${status} '${version}' ${err}")
endif()

# The About sound is a WAV file the player can take.
file(READ ${PREFIX}/share/zindle/About.wav head LIMIT 12 HEX)
if(NOT head MATCHES "^52494646........57415645$")
    message(FATAL_ERROR "About.wav is not a RIFF/WAVE file: ${head}")
endif()

# The manual is ours, whole.
file(SHA256 ${PREFIX}/share/zindle/Zindle.html installed)
file(SHA256 ${SOURCE_DIR}/docs/Zindle.html source)
if(NOT installed STREQUAL source)
    message(FATAL_ERROR "the installed manual differs from docs/Zindle.html")
endif()

# The menu entry starts the installed program with the chosen file, names
# our icon and both file types; the file types cover both extensions in both
# cases, and a .zdl file is known by its first four bytes too.
set(entry ${PREFIX}/share/applications/zindle.desktop)
file(READ ${entry} desktop)
set(desktop "\n${desktop}")
foreach(line "[Desktop Entry]" "Type=Application" "Exec=zindle %f" "Icon=zindle"
        "MimeType=application/x-zindle-sound;application/x-zindle-old-sound;")
    string(FIND "${desktop}" "\n${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "zindle.desktop lacks the line '${line}'")
    endif()
endforeach()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${entry}
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
        message(FATAL_ERROR "desktop-file-validate finds fault with zindle.desktop:\n${out}${err}")
    endif()
else()
    message(STATUS "desktop-file-validate not found (package desktop-file-utils): entry not validated")
endif()

set(types ${PREFIX}/share/mime/packages/zindle.xml)
file(READ ${types} mime)
foreach(glob "*.zdl" "*.ZDL" "*.efc" "*.EFC")
    string(FIND "${mime}" "<glob pattern=\"${glob}\"/>" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "zindle.xml lacks the glob ${glob}")
    endif()
endforeach()
# The magic rule belongs to the .zdl type: look only inside its block.
string(FIND "${mime}" "<mime-type type=\"application/x-zindle-sound\">" start)
if(start EQUAL -1)
    message(FATAL_ERROR "zindle.xml lacks application/x-zindle-sound")
endif()
string(SUBSTRING "${mime}" ${start} -1 sound)
string(FIND "${sound}" "</mime-type>" end)
string(SUBSTRING "${sound}" 0 ${end} sound)
foreach(version 1001 1000)
    if(NOT sound MATCHES "<magic[^>]*>.*<match type=\"little32\" offset=\"0\" value=\"${version}\"/>.*</magic>")
        message(FATAL_ERROR "zindle.xml has no magic rule for version ${version} in application/x-zindle-sound")
    endif()
endforeach()
# Compiled the way a desktop compiles it, the rule holds the bytes of both
# versions (E9 03 00 00 and E8 03 00 00).
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
    set(scratch ${PREFIX}/mime-scratch)
    file(MAKE_DIRECTORY ${scratch}/packages)
    file(COPY ${types} DESTINATION ${scratch}/packages)
    execute_process(COMMAND ${UPDATE_MIME_DATABASE} ${scratch}
        RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR NOT EXISTS ${scratch}/magic)
        message(FATAL_ERROR "update-mime-database refuses zindle.xml (${status}): ${err}")
    endif()
    file(READ ${scratch}/magic compiled HEX)
    string(HEX "application/x-zindle-sound]" type)
    foreach(bytes "e9030000" "e8030000")
        if(NOT compiled MATCHES "${type}.*${bytes}")
            message(FATAL_ERROR "the compiled magic lacks ${bytes} for application/x-zindle-sound: ${compiled}")
        endif()
    endforeach()
    file(REMOVE_RECURSE ${scratch})
else()
    message(STATUS "update-mime-database not found (package shared-mime-info): file types not compiled")
endif()

# The library: a soname with its version, the links to it, and nothing in its
# interface but the C functions.
file(GLOB sonames ${PREFIX}/${LIBDIR}/libzindle.so.[0-9]*)
if(NOT sonames)
    message(FATAL_ERROR "libzindle.so.N is not installed in ${PREFIX}/${LIBDIR}")
endif()
file(READ_SYMLINK ${PREFIX}/${LIBDIR}/libzindle.so target)
if(NOT target MATCHES "^libzindle\\.so\\.[0-9]+$")
    message(FATAL_ERROR "libzindle.so links to '${target}', not to the soname")
endif()

# It needs nothing but the C and C++ runtime, and exports only the C functions.
find_program(READELF readelf)
find_program(NM nm)
if(READELF AND NM)
    list(GET sonames 0 library)
    execute_process(COMMAND ${READELF} -d ${library} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
    string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
    if(NOT status EQUAL 0 OR NOT needed OR needed MATCHES "Qt|SDL")
        message(FATAL_ERROR "libzindle needs more than the standard libraries: ${needed}")
    endif()
    # Exactly the functions of the header, each under the symbol version of
    # the release that added it (see zindle.map): 0.1's under ZINDLE_0, 0.2's
    # under ZINDLE_0.2, 0.3's under ZINDLE_0.3.
    set(functions_0
        zindle_free zindle_render_wav zindle_sound_bits zindle_sound_free zindle_sound_mutate zindle_sound_read
        zindle_sound_read_format zindle_sound_render_samples zindle_sound_render_wav zindle_sound_repeat_count
        zindle_sound_sample_rate zindle_sound_write_json zindle_sound_write_zdl zindle_version)
    set(functions_0.2 zindle_sound_generate zindle_strerror zindle_template_count zindle_template_name
        zindle_version_number)
    set(functions_0.3 zindle_sound_write_share_code)
    set(wanted "")
    foreach(node 0 0.2 0.3)
        list(APPEND wanted "ZINDLE_${node}")
        foreach(function ${functions_${node}})
            list(APPEND wanted "${function}@@ZINDLE_${node}")
        endforeach()
    endforeach()
    execute_process(COMMAND ${NM} -D --defined-only ${library} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
    string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
    set(exported "")
    foreach(line ${lines})
        if(NOT line MATCHES "^[0-9a-f]+ [A-Za-z] ([^ ]+)$")
            message(FATAL_ERROR "nm -D prints a line it should not: '${line}'")
        endif()
        list(APPEND exported ${CMAKE_MATCH_1})
    endforeach()
    list(SORT wanted)
    list(SORT exported)
    if(NOT status EQUAL 0 OR NOT exported STREQUAL wanted)
        set(extra ${exported})
        list(REMOVE_ITEM extra ${wanted})
        set(lacking ${wanted})
        list(REMOVE_ITEM lacking ${exported})
        message(FATAL_ERROR "libzindle's exports are not its C interface (nm -D: ${status}):\n"
            "  not exported: ${lacking}\n  exported beyond it: ${extra}")
    endif()
else()
    message(STATUS "readelf or nm not found (package binutils): the library's interface not checked")
endif()

# The example, compiled as a game would compile against the installed library
# (pkg-config, the C compiler), renders the file zindle-cli renders.
find_program(C_COMPILER NAMES cc gcc clang)
find_program(PKG_CONFIG pkg-config)
if(NOT C_COMPILER OR NOT PKG_CONFIG)
    message(FATAL_ERROR "the example needs a C compiler (${C_COMPILER}) and pkg-config (${PKG_CONFIG})")
endif()
set(ENV{PKG_CONFIG_PATH} ${PREFIX}/${LIBDIR}/pkgconfig)
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs zindle
    RESULT_VARIABLE status OUTPUT_VARIABLE flags ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0 OR NOT flags MATCHES "-I${PREFIX}/include" OR NOT flags MATCHES "-lzindle")
    message(FATAL_ERROR "pkg-config --cflags --libs zindle: ${status} '${flags}' ${err}")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
separate_arguments(sanitize UNIX_COMMAND "${SANITIZE_FLAGS}")
# The installed header is C89 to C11 and C++, strict: a game may build with any.
file(WRITE ${PREFIX}/header.c "#include <zindle/zindle.h>\nint main(void) { return zindle_version_number() < ZINDLE_VERSION_NUMBER; }\n")
set(compilers "")
foreach(standard c89 c99 c11)
    list(APPEND compilers "${C_COMPILER}|-std=${standard}|-xc")
endforeach()
find_program(CXX_COMPILER NAMES c++ g++ clang++)
if(CXX_COMPILER)
    foreach(standard c++98 c++11 c++17)
        list(APPEND compilers "${CXX_COMPILER}|-std=${standard}|-xc++")
    endforeach()
else()
    message(STATUS "no C++ compiler: the header is checked as C only")
endif()
foreach(entry ${compilers})
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 compiler)
    list(GET entry 1 standard)
    list(GET entry 2 language)
    execute_process(COMMAND ${compiler} ${language} ${standard} -pedantic-errors -Wall -Wextra -Werror ${sanitize}
            ${PREFIX}/header.c -xnone ${flags} -Wl,-rpath,${PREFIX}/${LIBDIR} -o ${PREFIX}/header
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(status EQUAL 0)
        execute_process(COMMAND ${PREFIX}/header RESULT_VARIABLE status)
    endif()
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "zindle.h does not build and link as ${standard} (${status}):\n${out}${err}")
    endif()
endforeach()

set(example ${PREFIX}/render_wav)
execute_process(COMMAND ${C_COMPILER} -std=c99 -Wall -Wextra -Werror ${sanitize}
        ${SOURCE_DIR}/examples/render_wav.c ${flags} -Wl,-rpath,${PREFIX}/${LIBDIR} -o ${example}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the example does not build against the installed library:\n${out}${err}")
endif()
foreach(sound sounds/laser.zdl sounds/boom.efc)
    set(input ${SOURCE_DIR}/tests/data/${sound})
    execute_process(COMMAND ${example} ${input} ${PREFIX}/example.wav RESULT_VARIABLE status ERROR_VARIABLE err)
    execute_process(COMMAND ${PREFIX}/bin/zindle-cli render ${input} -o ${PREFIX}/cli.wav RESULT_VARIABLE cli_status)
    if(NOT status EQUAL 0 OR NOT cli_status EQUAL 0)
        message(FATAL_ERROR "rendering ${sound}: the example gave ${status} (${err}), zindle-cli ${cli_status}")
    endif()
    file(SHA256 ${PREFIX}/example.wav example_sum)
    file(SHA256 ${PREFIX}/cli.wav cli_sum)
    if(NOT example_sum STREQUAL cli_sum)
        message(FATAL_ERROR "the example's WAV of ${sound} differs from zindle-cli render's")
    endif()
endforeach()
# A sound the library generates is the one zindle-cli generate writes: the
# example's WAV is what zindle-cli renders from that file. "random" draws its
# own rate and width.
foreach(made "coin 42" "explosion 0" "random 7" "jump 18446744073709551615")
    separate_arguments(made)
    list(GET made 0 name)
    list(GET made 1 seed)
    file(REMOVE ${PREFIX}/example.wav ${PREFIX}/cli.wav)
    execute_process(COMMAND ${example} --generate ${name} ${seed} ${PREFIX}/example.wav
        RESULT_VARIABLE status ERROR_VARIABLE err)
    execute_process(COMMAND ${PREFIX}/bin/zindle-cli generate ${name} --seed ${seed} -o ${PREFIX}/cli.zdl
        RESULT_VARIABLE cli_status)
    if(cli_status EQUAL 0)
        execute_process(COMMAND ${PREFIX}/bin/zindle-cli render ${PREFIX}/cli.zdl -o ${PREFIX}/cli.wav
            RESULT_VARIABLE cli_status)
    endif()
    if(NOT status EQUAL 0 OR NOT cli_status EQUAL 0)
        message(FATAL_ERROR "generating ${name} ${seed}: the example gave ${status} (${err}), zindle-cli ${cli_status}")
    endif()
    file(SHA256 ${PREFIX}/example.wav example_sum)
    file(SHA256 ${PREFIX}/cli.wav cli_sum)
    if(NOT example_sum STREQUAL cli_sum)
        message(FATAL_ERROR "the example's WAV of ${name} ${seed} differs from zindle-cli generate and render's")
    endif()
endforeach()
file(REMOVE ${PREFIX}/example.wav)
execute_process(COMMAND ${example} --generate Coin 1 ${PREFIX}/example.wav RESULT_VARIABLE status ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "Unknown template 'Coin'" OR EXISTS ${PREFIX}/example.wav)
    message(FATAL_ERROR "the example generated from an unknown template: ${status} '${err}'")
endif()
# A bad file: a clear reason, a failure status, no output.
file(REMOVE ${PREFIX}/example.wav)
execute_process(COMMAND ${example} ${SOURCE_DIR}/tests/data/corpus/zdl/truncated.zdl ${PREFIX}/example.wav
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "truncated.zdl: " OR EXISTS ${PREFIX}/example.wav)
    message(FATAL_ERROR "the example took a truncated file: ${status} '${err}'")
endif()

message(STATUS "installed and checked in ${PREFIX}")
