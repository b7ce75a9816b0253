# The golden picture of two seeded presses at a display scale, rendered by the
# trace tool and compared pixel for pixel: any change to the line rules, the
# pen, where the ends fall or what the picture keeps shows here. The same
# check runs on the Windows build under Wine.
#   cmake -DTRACE=vantrel-trace -DEQUAL=png_equal [-DEMULATOR=runner] -DGOLDEN=png -DSCALE=R -DWORK=dir -P check_picture.cmake
file(MAKE_DIRECTORY ${WORK})
set(png ${WORK}/scale${SCALE}.png)
file(REMOVE ${png})
execute_process(COMMAND ${EMULATOR} ${TRACE} --seed 1 --presses 2 --png ${png} --scale ${SCALE}
                OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vantrel-trace --png --scale ${SCALE} failed (${status}): ${err}")
endif()
execute_process(COMMAND ${EMULATOR} ${EQUAL} ${png} ${GOLDEN} OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  # Left in WORK for a look.
  message(FATAL_ERROR "picture at scale ${SCALE} is not ${GOLDEN}: ${out}${err}")
endif()
file(REMOVE_RECURSE ${WORK})
message("golden picture at scale ${SCALE}: ${out}")
