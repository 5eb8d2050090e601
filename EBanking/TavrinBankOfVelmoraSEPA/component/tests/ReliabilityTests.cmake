# Whole payment runs at scale, under host faults and on hostile input. Included from the
# component's CMakeLists when tests are built, after payment_run_test is defined.

payment_run_test(component_payment_count_limit SOURCES tests/payment_count_limit_test.cpp)

# Runs through the registered DLL, loaded as the host loads it.
payment_run_test(component_payment_run_soak SOURCES tests/payment_run_soak_test.cpp LIBS tavrin_runner_core psapi)
add_dependencies(component_payment_run_soak TavrinBankOfVelmoraSEPA)

payment_run_test(component_payment_run_host_faults SOURCES tests/payment_run_host_faults_test.cpp)

# The XML engine is unregistered in a prefix made for this test alone.
add_executable(component_xml_engine_missing tests/xml_engine_missing_test.cpp)
target_link_libraries(component_xml_engine_missing PRIVATE payment_run_test_support sepa_resources component
  sepa_test_support GTest::gtest)
add_dependencies(component_xml_engine_missing TavrinHostSettings TavrinBankOfVelmoraSEPA)
add_test(NAME component_xml_engine_missing
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/xml_engine_missing_in_fresh_prefix.sh
    ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} $<TARGET_FILE:component_xml_engine_missing>
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(component_xml_engine_missing PROPERTIES TIMEOUT 300)

payment_run_test(component_payment_run_hostile_input SOURCES tests/payment_run_hostile_input_test.cpp)
