# velmora_add_gtest(NAME LABEL unit|gui|e2e SOURCES ... LIBS ...)
# A GoogleTest executable whose cases are registered one by one with the given label; each
# case starts on a fresh session (tests/support/FreshSession.cpp).
function(velmora_add_gtest name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velmora_fresh_session GTest::gtest_main)
  gtest_discover_tests(${name} PROPERTIES LABELS ${T_LABEL} ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                       DISCOVERY_TIMEOUT 60)
endfunction()

# velmora_add_qtest(NAME LABEL gui|e2e SOURCES ... LIBS ...)
# A QTest executable (one ctest entry), run on Qt's offscreen platform.
function(velmora_add_qtest name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# Tests of code that runs on more than one thread carry the label `threaded` as well as their
# own, and the target `threaded_tests` builds their programs: scripts/tsan.sh builds that
# target and runs that label under ThreadSanitizer.
add_custom_target(threaded_tests)

# velmora_threaded_qtest(NAME): a QTest program; called where the program is added.
function(velmora_threaded_qtest name)
  set_property(TEST ${name} APPEND PROPERTY LABELS threaded)
  add_dependencies(threaded_tests ${name})
endfunction()

# velmora_threaded_gtest(NAME LABEL REGEX): the cases of a GoogleTest program whose names
# match REGEX. The cases are only known when ctest reads the discovered list, so the label is
# set then, by a file ctest includes after that list.
function(velmora_threaded_gtest name label regex)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${name}_threaded.cmake)
  file(WRITE ${file}
    "foreach(t IN LISTS ${name}_TESTS)\n"
    "  if(t MATCHES [==[${regex}]==])\n"
    "    set_tests_properties(\${t} PROPERTIES LABELS \"${label};threaded\")\n"
    "  endif()\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
  add_dependencies(threaded_tests ${name})
endfunction()
