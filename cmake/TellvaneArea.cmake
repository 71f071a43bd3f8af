# tellvane_area(NAME [DEPS...]): a static library over src/NAME/*.cpp linking the
# libraries of the areas it builds on.
function(tellvane_area name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp)
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/src/core.cpp)
  endif()
  add_library(tellvane_${name} STATIC ${sources})
  target_include_directories(tellvane_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(tellvane_${name} PUBLIC Threads::Threads)
  foreach(dep IN LISTS ARGN)
    target_link_libraries(tellvane_${name} PUBLIC tellvane_${dep})
  endforeach()
endfunction()

# tellvane_area_test(NAME [LIBS...]): one GoogleTest program over tests/NAME/*.cpp.
function(tellvane_area_test name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/TestSupport.cpp)
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(test_${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  add_dependencies(test_${name} tellvane_data)
  gtest_discover_tests(test_${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS ${name})
endfunction()
