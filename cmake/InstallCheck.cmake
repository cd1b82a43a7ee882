# cmake -DBUILD_DIR=... -DPREFIX=... -DSOURCE_DIR=... -P InstallCheck.cmake
# Installs BUILD_DIR into an empty PREFIX and fails on anything missing or wrong.
foreach(var BUILD_DIR PREFIX SOURCE_DIR)
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
    share/zindle/About.wav
    share/applications/zindle.desktop
    share/icons/hicolor/32x32/apps/zindle.png
    share/mime/packages/zindle.xml)
set(missing "")
foreach(file ${expected})
    if(NOT EXISTS ${PREFIX}/${file} OR IS_DIRECTORY ${PREFIX}/${file})
        list(APPEND missing ${file})
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "not installed: ${missing}")
endif()

# The installed programs run.
execute_process(COMMAND ${PREFIX}/bin/zindle-cli --version RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version MATCHES "[0-9]+\\.[0-9]+")
    message(FATAL_ERROR "installed zindle-cli --version failed: ${status} '${version}'")
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

# The menu entry starts the installed program and names our icon; the file
# types cover both extensions.
file(READ ${PREFIX}/share/applications/zindle.desktop desktop)
foreach(line "[Desktop Entry]" "Type=Application" "Exec=zindle" "Icon=zindle")
    string(FIND "${desktop}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "zindle.desktop lacks '${line}'")
    endif()
endforeach()
file(READ ${PREFIX}/share/mime/packages/zindle.xml mime)
foreach(glob "*.zdl" "*.efc")
    string(FIND "${mime}" "pattern=\"${glob}\"" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "zindle.xml lacks the glob ${glob}")
    endif()
endforeach()

message(STATUS "installed and checked in ${PREFIX}")
