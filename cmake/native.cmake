# Native build: the portable units, their unit tests and the benchmarks.
if(BRAMLOE_SANITIZE)
  set(BRAMLOE_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(bramloe_core PRIVATE ${BRAMLOE_SAN_FLAGS})
endif()

add_executable(bramloe_tests ${BRAMLOE_NATIVE_TESTS})
bramloe_flags(bramloe_tests)
target_link_libraries(bramloe_tests PRIVATE bramloe_core gtest_main)
include(${CMAKE_SOURCE_DIR}/cmake/test_media.cmake)
bramloe_reads_test_media(bramloe_tests ${BRAMLOE_TEST_MEDIA_DIR})
if(BRAMLOE_SANITIZE)
  target_compile_options(bramloe_tests PRIVATE ${BRAMLOE_SAN_FLAGS})
  target_link_options(bramloe_tests PRIVATE ${BRAMLOE_SAN_FLAGS})
endif()
gtest_discover_tests(bramloe_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 60)

if(BRAMLOE_BENCH AND NOT BRAMLOE_SANITIZE)
  find_package(benchmark QUIET)
  file(GLOB BRAMLOE_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
  if(benchmark_FOUND)
    foreach(src ${BRAMLOE_BENCHES})
      get_filename_component(name ${src} NAME_WE)
      add_executable(${name} ${src})
      bramloe_flags(${name})
      target_link_libraries(${name} PRIVATE bramloe_core benchmark::benchmark)
      bramloe_reads_test_media(${name} ${BRAMLOE_TEST_MEDIA_DIR})
    endforeach()
  endif()
endif()

# The fuzz targets, each linked with a replay main that feeds it every file of its
# corpus (the seeds and every input that once broke a rule). scripts/fuzz.sh builds the
# same targets with libFuzzer to search for new ones.
file(GLOB BRAMLOE_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(src ${BRAMLOE_FUZZ_TARGETS})
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" corpus ${name})
  add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
  bramloe_flags(${name})
  target_link_libraries(${name} PRIVATE bramloe_core)
  if(BRAMLOE_SANITIZE)
    target_compile_options(${name} PRIVATE ${BRAMLOE_SAN_FLAGS})
    target_link_options(${name} PRIVATE ${BRAMLOE_SAN_FLAGS})
  endif()
  add_test(NAME fuzz.${corpus} COMMAND ${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${corpus})
endforeach()

# The release archives, made by scripts/release.py over a stand-in tree of its own, and
# the floors of src/ (README's "Where the code lives"): no include of a higher floor and
# no include circle. Once per test command: the sanitizer tree leaves them out.
if(NOT BRAMLOE_SANITIZE)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME release.archives COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/release/release_test.py)
  add_test(NAME floors COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/floors/floors_test.py
                              ${CMAKE_SOURCE_DIR})
endif()
