# tavlen_use_servers(TEST...): the tests run with the loopback servers that
# the servers_start test starts and servers_stop stops (CTest fixture), and
# find them through $TAVLEN_TEST_SERVERS.
set(TAVLEN_SERVER_STATE ${CMAKE_BINARY_DIR}/tests/servers/state)
function(tavlen_use_servers)
  foreach(test ${ARGN})
    if(TEST ${test})
      set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED loopback_servers
        ENVIRONMENT "TAVLEN_TEST_SERVERS=${TAVLEN_SERVER_STATE}")
    endif()
  endforeach()
endfunction()
