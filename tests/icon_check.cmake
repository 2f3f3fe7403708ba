# The window's icon in the source tree is what the icon generator draws
# (under the emulator of a cross build, on that architecture's maths).
#   cmake -DEMULATOR=... -DGENERATOR=... -DDRAWN=... -DKEPT=... -P icon_check.cmake
execute_process(COMMAND ${EMULATOR} ${GENERATOR} argb ${DRAWN} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the icon generator failed: ${failed}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${DRAWN} ${KEPT} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${KEPT} is not what the generator draws: run scripts/make-pictures.sh")
endif()
