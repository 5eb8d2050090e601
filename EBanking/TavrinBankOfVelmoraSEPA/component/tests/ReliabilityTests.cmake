# Whole payment runs at scale, under host faults and on hostile input. Included from the
# component's CMakeLists when tests are built.

# What these tests share: the driver of whole runs and the reader of written files.
add_library(payment_run_test_support STATIC tests/PaymentRunDriver.cpp ../sepa/tests/PaymentFileTestSupport.cpp)
target_include_directories(payment_run_test_support PUBLIC tests ../sepa/tests)
target_link_libraries(payment_run_test_support PUBLIC sepa_core sepa_test_support TavrinHostSettings_headers)

function(payment_run_test name)
  sepa_add_test(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE payment_run_test_support)
  add_dependencies(${name} TavrinHostSettings)
endfunction()

payment_run_test(component_payment_count_limit SOURCES tests/payment_count_limit_test.cpp)

# Runs through the registered DLL, loaded as the host loads it.
payment_run_test(component_payment_run_soak SOURCES tests/payment_run_soak_test.cpp LIBS tavrin_runner_core psapi)
add_dependencies(component_payment_run_soak TavrinBankOfVelmoraSEPA)

payment_run_test(component_payment_run_host_faults SOURCES tests/payment_run_host_faults_test.cpp)
