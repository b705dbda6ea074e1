# Writes the role header of LAYOUT afresh into FRESH with the compiler RSC
# and fails when the committed header COMMITTED differs from it.
file(REMOVE ${FRESH})
execute_process(COMMAND ${RSC} --header ${LAYOUT} ${FRESH} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "trelvan-rsc --header ${LAYOUT} failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${COMMITTED} ${FRESH}
                RESULT_VARIABLE differs)
if(differs)
  execute_process(COMMAND diff -u ${COMMITTED} ${FRESH})
  message(FATAL_ERROR "${COMMITTED} is not what ${LAYOUT} gives now: "
                      "cmake --build build --target roles, then commit it")
endif()
