# Run after a test binary is linked: lists its cases and writes the CTest file that registers them.
#   cmake -D TEST_EXECUTABLE=... -D TEST_PREFIX=kva -D CTEST_FILE=... -D TEMPLATES=... \
#         -D CASES_PER_SHARD=25 -P VoTestShards.cmake
# Every case is a test of its own (label "case"), so that `ctest -R name` runs just that case; the
# whole suite runs as shards (label "shard"): a process per group of cases, in an order shuffled by a
# seed that the process prints, which pays the engine's start once per group instead of once per case
# and runs the cases of a binary in the orders the programs' users never guarantee.
cmake_minimum_required(VERSION 3.25)

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${TEST_EXECUTABLE} --gtest_list_tests
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors
  RESULT_VARIABLE result
  TIMEOUT 300)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TEST_EXECUTABLE} did not list its cases (${result}):\n${listing}\n${errors}")
endif()

# gtest lists "Suite." lines, then the suite's cases indented by two spaces; parameterised suites and
# cases carry a comment after a '#'.
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(cases "")
set(suite "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*" "" line "${line}")
  if(line MATCHES "^  +([^ ]+) *$")
    list(APPEND cases "${suite}${CMAKE_MATCH_1}")
  elseif(line MATCHES "^([^ ]+\\.) *$")
    set(suite "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(LENGTH cases count)

set(environment "QT_QPA_PLATFORM=offscreen" "VO_TEST_TEMPLATES=${TEMPLATES}")
set(out "# Written by VoTestShards.cmake from ${TEST_EXECUTABLE} --gtest_list_tests: ${count} cases.\n")
foreach(case IN LISTS cases)
  string(APPEND out
         "add_test([==[${TEST_PREFIX}.${case}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${case}]==])\n"
         "set_tests_properties([==[${TEST_PREFIX}.${case}]==] PROPERTIES LABELS case TIMEOUT 300 "
         "ENVIRONMENT [==[${environment}]==])\n")
endforeach()

math(EXPR shards "(${count} + ${CASES_PER_SHARD} - 1) / ${CASES_PER_SHARD}")
if(shards GREATER 0)
  math(EXPR last "${shards} - 1")
  foreach(index RANGE ${last})
    math(EXPR number "${index} + 1")
    set(name "${TEST_PREFIX}.shard-${number}-of-${shards}")
    # A seed of 0 makes gtest draw one from the clock and print it: the run's failure names the case,
    # the shard and the seed, which replay it (see the README).
    string(APPEND out
           "add_test([==[${name}]==] [==[${TEST_EXECUTABLE}]==] --gtest_shuffle --gtest_random_seed=0)\n"
           "set_tests_properties([==[${name}]==] PROPERTIES LABELS shard TIMEOUT 900 ENVIRONMENT "
           "[==[${environment};GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index}]==])\n")
  endforeach()
endif()
file(WRITE "${CTEST_FILE}" "${out}")
