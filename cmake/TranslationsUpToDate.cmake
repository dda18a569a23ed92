# Fails when the sources hold window messages that translations/bookloom_ru.ts lacks (or the file
# keeps messages the sources no longer have): lupdate refreshes a copy of it with the options
# update_translations uses, and the copy must come out the same.
# Run as cmake -DPROJECT=... -DGENERATE=... -DLUPDATE=... -DTS=... -DWORK=... -P this file.
set(copy "${WORK}/bookloom_ru.ts")
file(MAKE_DIRECTORY "${WORK}")
file(COPY_FILE "${TS}" "${copy}")
execute_process(COMMAND "${CMAKE_COMMAND}" "-DIN_FILE=${PROJECT}.cmake" "-DOUT_FILE=${WORK}/project.json"
                        -P "${GENERATE}"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${LUPDATE}" -project "${WORK}/project.json" -ts "${copy}" -no-obsolete -locations none
                OUTPUT_QUIET ERROR_QUIET
                COMMAND_ERROR_IS_FATAL ANY)
file(READ "${TS}" before)
file(READ "${copy}" after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "translations/bookloom_ru.ts does not match the window's messages: build the "
                      "target update_translations, translate what it adds and commit the file.")
endif()
