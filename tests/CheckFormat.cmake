# Fails when any C++ source of the repository differs from clang-format's
# output for it.
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/Src/*.cpp ${SOURCE_DIR}/Src/*.h
    ${SOURCE_DIR}/lib/*.cpp ${SOURCE_DIR}/lib/*.h
    ${SOURCE_DIR}/gfx/*.cpp ${SOURCE_DIR}/gfx/*.h
    ${SOURCE_DIR}/map/*.cpp ${SOURCE_DIR}/map/*.h
    ${SOURCE_DIR}/sound/*.cpp ${SOURCE_DIR}/sound/*.h
    ${SOURCE_DIR}/widgets/*.cpp ${SOURCE_DIR}/widgets/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h
    ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources}
    RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Sources are not clang-formatted:\n${errors}")
endif()
