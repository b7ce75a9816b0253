# The text trace of two seeded presses against the golden one, byte for byte,
# on any platform: CMake in script mode needs no shell. Under an emulator
# (Wine for the MinGW build) pass it as EMULATOR.
#   cmake -DTRACE=vantrel-trace [-DEMULATOR=runner] -DGOLDEN=tests/golden -DWORK=file -P check_trace_text.cmake
foreach(var TRACE GOLDEN WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_trace_text.cmake: -D${var}=... missing")
  endif()
endforeach()

execute_process(COMMAND ${EMULATOR} ${TRACE} --seed 1 --presses 2
                OUTPUT_FILE ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vantrel-trace failed: ${status}")
endif()

# As bytes: file(READ) as text drops CR characters.
file(READ ${WORK} head LIMIT 4096 HEX)
string(REGEX MATCHALL ".." head "${head}")
list(FIND head 0d cr)
if(NOT cr EQUAL -1)
  message(FATAL_ERROR "the trace has CR characters (CR LF line ends: stdout in text mode?); kept in ${WORK}")
endif()

set(failed "")
# Head and tail as text, so a difference can be read; the whole as a hash.
file(READ ${GOLDEN}/seed1-press2.head.txt expected_head)
string(LENGTH "${expected_head}" head_length)
file(READ ${WORK} actual_head LIMIT ${head_length})
if(NOT actual_head STREQUAL expected_head)
  list(APPEND failed head)
  message("trace head, expected:\n${expected_head}\ngot:\n${actual_head}")
endif()
file(READ ${GOLDEN}/seed1-press2.tail.txt expected_tail)
string(LENGTH "${expected_tail}" tail_length)
file(SIZE ${WORK} size)
if(size LESS tail_length)
  set(size ${tail_length})
endif()
math(EXPR tail_at "${size} - ${tail_length}")
file(READ ${WORK} actual_tail OFFSET ${tail_at})
if(NOT actual_tail STREQUAL expected_tail)
  list(APPEND failed tail)
  message("trace tail, expected:\n${expected_tail}\ngot:\n${actual_tail}")
endif()
file(SHA256 ${WORK} hash)
file(READ ${GOLDEN}/seed1-press2.sha256 expected_hash)
string(STRIP "${expected_hash}" expected_hash)
if(NOT hash STREQUAL expected_hash)
  list(APPEND failed hash)
endif()

if(failed)
  message(FATAL_ERROR "trace differs from the golden one (${failed}); kept in ${WORK}")
endif()
file(REMOVE ${WORK})
message("golden trace matches (${size} bytes)")
