# Helpers that keep each folder's CMakeLists to one line: a library is every
# .cpp of its folder, a test program every *_test.cpp of its tests folder.
include_guard(GLOBAL)

# kado_library(NAME [SHARED] [DEPS ...]) - library from the folder's sources;
# static unless SHARED (the platform: one copy per process for host and plug-in).
function(kado_library name)
  cmake_parse_arguments(ARG "SHARED" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  if(ARG_SHARED)
    add_library(${name} SHARED ${srcs})
  else()
    add_library(${name} STATIC ${srcs})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# kado_tests(NAME [QT_APP] [DEPS ...]) - one GoogleTest program per tests folder;
# QT_APP runs its tests inside one QApplication (tests/support/qt_app_support.cpp).
function(kado_tests name)
  cmake_parse_arguments(ARG "QT_APP" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT srcs)
    return()
  endif()
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_support.cpp)
  if(ARG_QT_APP)
    list(APPEND support ${PROJECT_SOURCE_DIR}/tests/support/qt_app_support.cpp)
  endif()
  add_executable(${name} ${srcs} ${support})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    KADO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KADO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# kado_xcb_plugin(VAR) - the path of Qt's xcb platform plugin ("none" when Qt cannot tell).
function(kado_xcb_plugin var)
  set(xcb none)
  if(TARGET Qt6::qmake)
    get_target_property(qmake Qt6::qmake IMPORTED_LOCATION)
    execute_process(COMMAND ${qmake} -query QT_INSTALL_PLUGINS OUTPUT_VARIABLE plugins OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(xcb ${plugins}/platforms/libqxcb.so)
  endif()
  set(${var} ${xcb} PARENT_SCOPE)
endfunction()

# Runs a Qt test program once more, whole, under an X server of its own on the
# xcb platform (skipped without xvfb-run or the plugin); screenshots go to
# build/test-output/screenshots.
function(kado_tests_under_x name)
  kado_xcb_plugin(xcb)
  add_test(NAME ${name}.UnderX
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/support/under_xvfb.sh ${xcb}
                   ${PROJECT_BINARY_DIR}/test-output/screenshots $<TARGET_FILE:${name}> ${ARGN})
  set_tests_properties(${name}.UnderX PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900
                       ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan_x.supp")
endfunction()
