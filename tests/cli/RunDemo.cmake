# The demo run that several suites only read: `cmake -DCLI=pagelyst-cli -DOUT=folder -P
# RunDemo.cmake`. It runs the demo twice, offline, with a home of its own under OUT:
#   tables:  `demo --har OUT/demo.har` from OUT/work, its reports in the home's default folder;
#            OUT/demo.out, OUT/demo.err, OUT/demo.status
#   JSON:    `demo --json --out OUT/reports --stat 1 ... --stat 10`;
#            OUT/demo.json, OUT/demo-json.err, OUT/demo-json.status; with `--line "Slow 4G"
#            --har-at "Slow 4G" OUT/demo-slow-4g.har`
# The readers check the statuses; the fixture fails only when a run could not be started.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/work ${OUT}/home)
set(ENV{PAGELYST_HOME} ${OUT}/home)
foreach(variable http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY)
    unset(ENV{${variable}})
endforeach()

execute_process(COMMAND ${CLI} demo --har ${OUT}/demo.har WORKING_DIRECTORY ${OUT}/work
                OUTPUT_FILE ${OUT}/demo.out ERROR_FILE ${OUT}/demo.err RESULT_VARIABLE status)
file(WRITE ${OUT}/demo.status "${status}")

set(statistics "")
foreach(id RANGE 1 10)
    list(APPEND statistics --stat ${id})
endforeach()
execute_process(COMMAND ${CLI} demo --json --out ${OUT}/reports ${statistics} --line "Slow 4G"
                        --har-at "Slow 4G" ${OUT}/demo-slow-4g.har
                WORKING_DIRECTORY ${OUT}/work OUTPUT_FILE ${OUT}/demo.json
                ERROR_FILE ${OUT}/demo-json.err RESULT_VARIABLE json_status)
file(WRITE ${OUT}/demo-json.status "${json_status}")

if(NOT status MATCHES "^[0-9]+$" OR NOT json_status MATCHES "^[0-9]+$")
    message(FATAL_ERROR "the demo could not be run: ${status} ${json_status}")
endif()
