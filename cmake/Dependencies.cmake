# Third-party libraries, all from Debian's packages.
find_package(PkgConfig REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-pdf)
pkg_check_modules(PANGO REQUIRED IMPORTED_TARGET pango pangocairo)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)

# wxWidgets: CMake 3.25 has no target for it, so wrap wx-config.
if(TALLIVAR_GUI)
  find_program(WX_CONFIG NAMES wx-config REQUIRED)
  execute_process(COMMAND ${WX_CONFIG} --cxxflags
                  OUTPUT_VARIABLE WX_CXXFLAGS OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${WX_CONFIG} --libs std,aui,html
                  OUTPUT_VARIABLE WX_LIBS OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(WX_CXXFLAGS_LIST UNIX_COMMAND "${WX_CXXFLAGS}")
  separate_arguments(WX_LIBS_LIST UNIX_COMMAND "${WX_LIBS}")
  set(WX_INCLUDES "")
  set(WX_DEFINES "")
  set(WX_OTHER "")
  foreach(flag IN LISTS WX_CXXFLAGS_LIST)
    if(flag MATCHES "^-I(.*)")
      list(APPEND WX_INCLUDES "${CMAKE_MATCH_1}")
    elseif(flag MATCHES "^-D(.*)")
      list(APPEND WX_DEFINES "${CMAKE_MATCH_1}")
    else()
      list(APPEND WX_OTHER "${flag}")
    endif()
  endforeach()
  add_library(wx::wx INTERFACE IMPORTED)
  target_include_directories(wx::wx SYSTEM INTERFACE ${WX_INCLUDES})
  target_compile_definitions(wx::wx INTERFACE ${WX_DEFINES})
  target_compile_options(wx::wx INTERFACE ${WX_OTHER})
  target_link_libraries(wx::wx INTERFACE ${WX_LIBS_LIST})
endif()

if(TALLIVAR_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(TALLIVAR_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()

# Helper: one static library per module, includes rooted at src/.
function(tallivar_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS" ${ARGN})
  if(M_SOURCES)
    add_library(${name} STATIC ${M_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${M_DEPS})
  else()
    # a module whose sources have not been written yet
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${M_DEPS})
  endif()
endfunction()

# Helper: a GoogleTest binary registered test by test with CTest.
function(tallivar_test name)
  cmake_parse_arguments(T "XVFB;BOTH_SEPARATORS" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(T_XVFB)
    # Every desktop test runs under its own Xvfb display. gtest_discover_tests reads
    # the emulator when it is called, so it must be set first.
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/scripts/with-xvfb.sh)
    # Once on a common laptop screen and once on the smallest the program supports;
    # with-xvfb.sh reads the size from the environment. Each test has its own display, so
    # the two sizes run side by side; within a size they take turns, as before.
    foreach(_screen 1366x768 1024x768)
      gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        TEST_PREFIX "${name}.${_screen}."
        PROPERTIES LABELS desktop RESOURCE_LOCK "desktop_${_screen}"
                   ENVIRONMENT "TALLIVAR_TEST_SCREEN=${_screen}")
    endforeach()
  elseif(T_BOTH_SEPARATORS)
    # Application tests run once per regional setting: the default decimal "," (thousands
    # ".") and decimal "." (thousands ","); the shared fixtures read TALLIVAR_TEST_DECIMAL.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
      TEST_PREFIX "coma.${name}."
      PROPERTIES ENVIRONMENT "TALLIVAR_TEST_DECIMAL=,")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
      TEST_PREFIX "punto.${name}."
      PROPERTIES ENVIRONMENT "TALLIVAR_TEST_DECIMAL=.")
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
      TEST_PREFIX "${name}.")
  endif()
endfunction()
