# NetworkView.exe and the suite that runs under Wine.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
# Neither the program nor a test needs the mingw runtime DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

# The seam's Win32 implementation, the program's own controls and its form.
file(GLOB NV_WIN32_PLATFORM CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
file(GLOB NV_WIN32_TOOLKIT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/toolkit/win32/*.cpp)
file(GLOB NV_WIN32_WIDGETS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/widgets/win32/*.cpp)
file(GLOB NV_WIN32_APP CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/win32/*.cpp)
list(FILTER NV_WIN32_APP EXCLUDE REGEX "/main\\.cpp$")
add_library(nvwin32 STATIC ${NV_WIN32_PLATFORM} ${NV_WIN32_TOOLKIT} ${NV_WIN32_WIDGETS}
            ${NV_WIN32_APP})
target_link_libraries(nvwin32 PUBLIC nvcore netapi32 wldap32 mpr advapi32 version comctl32 user32
                      gdi32 shell32 uxtheme ole32)

# Resources: the version resource, the manifest and the pictures, made from
# the sources in tools/.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(NV_RES_DIR ${CMAKE_BINARY_DIR}/res)
add_custom_command(
  OUTPUT ${NV_RES_DIR}/action.bmp ${NV_RES_DIR}/action_150.bmp ${NV_RES_DIR}/action_200.bmp
         ${NV_RES_DIR}/hand.cur ${NV_RES_DIR}/visitenkarte.bmp ${NV_RES_DIR}/visitenkarte_150.bmp
         ${NV_RES_DIR}/visitenkarte_200.bmp
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/mkres.py ${NV_RES_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkres.py
  COMMENT "Making the program's pictures")
add_custom_target(nvresources DEPENDS ${NV_RES_DIR}/action.bmp)
configure_file(${PROJECT_SOURCE_DIR}/app/win32/NetworkView.rc.in ${NV_RES_DIR}/NetworkView.rc @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/app/win32/NetworkView.manifest ${NV_RES_DIR}/NetworkView.manifest COPYONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${NV_RES_DIR} -I${PROJECT_SOURCE_DIR}")
# windres reports no dependencies: name the files the script includes.
set_source_files_properties(${NV_RES_DIR}/NetworkView.rc PROPERTIES OBJECT_DEPENDS
  "${PROJECT_SOURCE_DIR}/app/win32/Dialogs.rc;${PROJECT_SOURCE_DIR}/app/win32/resource.h")
set(NV_PICTURES ${NV_RES_DIR}/action.bmp ${NV_RES_DIR}/action_150.bmp ${NV_RES_DIR}/action_200.bmp
    ${NV_RES_DIR}/hand.cur ${NV_RES_DIR}/visitenkarte.bmp ${NV_RES_DIR}/visitenkarte_150.bmp
    ${NV_RES_DIR}/visitenkarte_200.bmp)
set_property(SOURCE ${NV_RES_DIR}/NetworkView.rc APPEND PROPERTY OBJECT_DEPENDS ${NV_PICTURES})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/tests/win32/TestVersion.rc APPEND PROPERTY OBJECT_DEPENDS
  ${NV_PICTURES} ${PROJECT_SOURCE_DIR}/app/win32/resource.h)

add_executable(NetworkView WIN32 ${PROJECT_SOURCE_DIR}/app/win32/main.cpp
               ${NV_RES_DIR}/NetworkView.rc)
add_dependencies(NetworkView nvresources)
target_link_libraries(NetworkView PRIVATE nvwin32)
target_link_options(NetworkView PRIVATE -municode)

# GoogleTest, built from Debian's sources for mingw.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The portable core's tests that can read otherwise on Windows, once more as
# a Windows program.
add_executable(core_tests ${NV_CORE_TESTS_ON_WINDOWS})
target_link_libraries(core_tests PRIVATE nvfakes gtest_main)
add_test(NAME core_tests_wine COMMAND core_tests)

# The Win32 suite: real windows, messages and API under Wine. It carries a
# version resource of its own to read back.
file(GLOB NV_WIN32_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win32/*Test.cpp)
add_executable(win32_tests ${NV_WIN32_TESTS} ${PROJECT_SOURCE_DIR}/tests/win32/UiDriver.cpp
               ${PROJECT_SOURCE_DIR}/tests/win32/TestVersion.rc
               ${PROJECT_SOURCE_DIR}/app/win32/Dialogs.rc)
add_dependencies(win32_tests nvresources)
target_link_libraries(win32_tests PRIVATE nvwin32 nvfakes gtest_main)
add_test(NAME win32_tests COMMAND win32_tests)

# The first run as a user sees it: the program, its ips.txt naming this
# computer, and a screenshot kept in the build folder.
add_test(NAME first_run
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/first-run.sh $<TARGET_FILE:NetworkView>
                 ${CMAKE_BINARY_DIR}/screenshots
                 ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}:${PROJECT_VERSION_TWEAK})

# A machine with more services than one listing buffer holds, in a Wine
# prefix of its own.
add_test(NAME win32_many_services
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/many-services.sh $<TARGET_FILE:win32_tests>)

# The window and the about box on a display of 144 DPI, the prefix set so
# for the one run.
add_test(NAME win32_display_scale
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/display-scale.sh $<TARGET_FILE:win32_tests>)

# The directory seam beside the private Samba domain controller that the
# native directory tests use.
add_test(NAME win32_directory
         COMMAND ${PROJECT_SOURCE_DIR}/tests/contract/ad-fixture.sh ${NV_AD_FIXTURE_DIR}
                 bash ${PROJECT_SOURCE_DIR}/tests/win32/wine-run.sh $<TARGET_FILE:win32_tests>
                 --gtest_filter=DirectoryWin32.*)
set_tests_properties(win32_directory PROPERTIES SKIP_RETURN_CODE 77)

# The benchmarks (not tests), which scripts/bench.sh runs: the real window,
# and the portable core's fills without a window.
add_executable(wine_bench ${PROJECT_SOURCE_DIR}/bench/win32/WineBench.cpp)
target_link_libraries(wine_bench PRIVATE nvwin32 nvfakes)
target_link_options(wine_bench PRIVATE -municode)
add_executable(core_bench ${PROJECT_SOURCE_DIR}/bench/NativeBench.cpp)
target_link_libraries(core_bench PRIVATE nvfakes)
# The scripted netapi32.dll and what runs on it.
include(${CMAKE_CURRENT_LIST_DIR}/ScriptedNetApi.cmake)

# Each test starts a display of its own; a Wine prefix serves one program at
# a time. The Win32 suite, the longest, has the build folder's prefix; the
# other programs take turns in a second one, and the many-services and
# directory tests in a third; so the three run side by side (the test
# preset's jobs).
set_tests_properties(win32_tests PROPERTIES RESOURCE_LOCK wineprefix)
set_tests_properties(core_tests_wine first_run scripted_seam_tests network_tour
                     win32_display_scale PROPERTIES
                     RESOURCE_LOCK wineprefix-second
                     ENVIRONMENT NV_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-second)
set_tests_properties(win32_many_services win32_directory PROPERTIES
                     RESOURCE_LOCK wineprefix-services
                     ENVIRONMENT NV_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-services)
set_tests_properties(core_tests_wine win32_tests first_run win32_many_services
                     scripted_seam_tests network_tour win32_display_scale win32_directory
                     PROPERTIES TIMEOUT 600)

# scripts/bench.sh builds the benchmarks by name; the tests need none of them.
set_target_properties(wine_bench core_bench PROPERTIES EXCLUDE_FROM_ALL TRUE)

# The test programs are compiled for a short build rather than for speed: at
# -O1 they build about a third faster than at the release level, and they
# spend their time waiting on Wine, not computing. The program and the code
# it shares with them keep the release level.
foreach(test_program core_tests win32_tests network_tour scripted_seam_tests
                     scripted_netapi32 gtest gtest_main)
  target_compile_options(${test_program} PRIVATE -O1)
endforeach()

# The test programs' system headers, precompiled (see NV_TEST_PCH).
target_precompile_headers(core_tests PRIVATE ${NV_TEST_PCH})
target_precompile_headers(win32_tests PRIVATE ${NV_TEST_PCH} <windows.h> <commctrl.h> <lm.h>)
