# The scripted netapi32.dll (tests/netapi32/) and what runs on it under Wine.
# Those programs live in a folder of their own with the library beside them;
# the wrapper script tells Wine to load it in place of its own netapi32
# (WINEDLLOVERRIDES), so the rest of the Wine suite keeps Wine's.
set(NV_SCRIPTED_DIR ${CMAKE_BINARY_DIR}/scripted)

add_library(scripted_netapi32 SHARED
  ${PROJECT_SOURCE_DIR}/tests/netapi32/Exports.cpp
  ${PROJECT_SOURCE_DIR}/tests/netapi32/Library.cpp
  ${PROJECT_SOURCE_DIR}/tests/netapi32/CallLedger.cpp
  ${PROJECT_SOURCE_DIR}/tests/netapi32/NetworkScript.cpp
  ${PROJECT_SOURCE_DIR}/tests/netapi32/netapi32.def)
target_include_directories(scripted_netapi32 PRIVATE ${PROJECT_SOURCE_DIR})
# Its import library stays out of every link path: programs link Wine's and
# Windows' netapi32 and meet this one only at run time.
set_target_properties(scripted_netapi32 PROPERTIES
  OUTPUT_NAME netapi32 PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${NV_SCRIPTED_DIR}
  ARCHIVE_OUTPUT_DIRECTORY ${NV_SCRIPTED_DIR}/lib)

# The scripted mpr.dll (tests/mpr/) beside it: the connection functions.
add_library(scripted_mpr SHARED ${PROJECT_SOURCE_DIR}/tests/mpr/ScriptedMpr.cpp
            ${PROJECT_SOURCE_DIR}/tests/mpr/mpr.def)
set_target_properties(scripted_mpr PROPERTIES
  OUTPUT_NAME mpr PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${NV_SCRIPTED_DIR}
  ARCHIVE_OUTPUT_DIRECTORY ${NV_SCRIPTED_DIR}/lib)

set(NV_WITH_SCRIPTED_NETAPI ${PROJECT_SOURCE_DIR}/tests/scripted/with-scripted-netapi.sh)

add_executable(scripted_seam_tests ${PROJECT_SOURCE_DIR}/tests/scripted/NetApiWin32Test.cpp
               ${PROJECT_SOURCE_DIR}/tests/scripted/ConnectionWin32Test.cpp)
target_link_libraries(scripted_seam_tests PRIVATE nvwin32 gtest_main)
set_target_properties(scripted_seam_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NV_SCRIPTED_DIR})
add_dependencies(scripted_seam_tests scripted_netapi32 scripted_mpr)
add_test(NAME scripted_seam_tests
         COMMAND bash ${NV_WITH_SCRIPTED_NETAPI} $<TARGET_FILE:scripted_seam_tests>)

# The benchmark of accounts on a slow link (not a test), which scripts/bench.sh
# runs: the window's logic on the real seam over the scripted library.
add_executable(slow_links_bench ${PROJECT_SOURCE_DIR}/bench/win32/SlowLinksBench.cpp)
target_link_libraries(slow_links_bench PRIVATE nvwin32 nvfakes)
target_link_options(slow_links_bench PRIVATE -municode)
set_target_properties(slow_links_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NV_SCRIPTED_DIR}
                      EXCLUDE_FROM_ALL TRUE)
add_dependencies(slow_links_bench scripted_netapi32)

add_executable(network_tour ${PROJECT_SOURCE_DIR}/tests/scripted/NetworkTourTest.cpp
               ${PROJECT_SOURCE_DIR}/tests/scripted/RemoteWindow.cpp
               ${PROJECT_SOURCE_DIR}/tests/win32/UiDriver.cpp)
target_include_directories(network_tour PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(network_tour PRIVATE gtest)
set_target_properties(network_tour PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NV_SCRIPTED_DIR})
add_dependencies(network_tour scripted_netapi32 NetworkView)
add_test(NAME network_tour
         COMMAND bash ${NV_WITH_SCRIPTED_NETAPI} $<TARGET_FILE:network_tour>
                 $<TARGET_FILE:NetworkView> ${PROJECT_SOURCE_DIR}/tests/netapi32/demo-network.txt)
