# vantrel-trace --png: the picture comes at the requested device pixel ratio
# (the window's picture at 200 %) on every platform; bad ratios are refused.
#   cmake -DTRACE=vantrel-trace [-DEMULATOR=runner] -DWORK=dir -P check_trace_png.cmake
file(MAKE_DIRECTORY ${WORK})
set(png ${WORK}/scale2.png)
file(REMOVE ${png})
execute_process(COMMAND ${EMULATOR} ${TRACE} --seed 1 --presses 0 --png ${png} --scale 2
                OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vantrel-trace --png --scale 2 failed (${status}): ${err}")
endif()
# Width and height of a PNG: big-endian words 16 and 20 of the file (IHDR).
file(READ ${png} ihdr OFFSET 16 LIMIT 8 HEX)
string(SUBSTRING "${ihdr}" 0 8 width)
string(SUBSTRING "${ihdr}" 8 8 height)
math(EXPR width "0x${width}")
math(EXPR height "0x${height}")
# The client area is 715 x 487 logical pixels.
if(NOT width EQUAL 1430 OR NOT height EQUAL 974)
  message(FATAL_ERROR "picture at --scale 2 is ${width} x ${height}, expected 1430 x 974")
endif()
foreach(bad 0 -1 nan 9 2x)
  execute_process(COMMAND ${EMULATOR} ${TRACE} --png ${png} --scale ${bad} OUTPUT_QUIET ERROR_QUIET
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "--scale ${bad} accepted (status ${status})")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
message("--scale 2 gives a 1430 x 974 picture; bad scales are refused")
