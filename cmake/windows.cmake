# Windows build: bramloe.exe, its console tools, and the test programs run under Wine.
set(BRAMLOE_WIN_LIBS -static gdi32 user32 kernel32 comctl32 comdlg32 shell32 advapi32
    ole32 oleaut32 uuid strmiids dmoguids winmm)

# SoundTouch, the keep-tempo stage's time-stretching library: built once into this tree
# from Debian's source package (scripts/soundtouch.sh) and linked statically, so the
# program stays one file. third_party/soundtouch/ holds its licence and notes.
set(BRAMLOE_SOUNDTOUCH ${CMAKE_BINARY_DIR}/soundtouch)
if(NOT EXISTS ${BRAMLOE_SOUNDTOUCH}/lib/libSoundTouch.a)
  message(STATUS "Building SoundTouch from Debian's source package into ${BRAMLOE_SOUNDTOUCH}")
  execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/soundtouch.sh ${BRAMLOE_SOUNDTOUCH}
                          ${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake
                  RESULT_VARIABLE BRAMLOE_SOUNDTOUCH_RESULT)
  if(NOT BRAMLOE_SOUNDTOUCH_RESULT EQUAL 0)
    message(FATAL_ERROR "SoundTouch could not be built (see ${BRAMLOE_SOUNDTOUCH}.log)")
  endif()
endif()
add_library(soundtouch STATIC IMPORTED)
set_target_properties(soundtouch PROPERTIES
  IMPORTED_LOCATION ${BRAMLOE_SOUNDTOUCH}/lib/libSoundTouch.a
  INTERFACE_INCLUDE_DIRECTORIES ${BRAMLOE_SOUNDTOUCH}/include)

set(BRAMLOE_WIN_SOURCES ${BRAMLOE_ALL_SOURCES})
list(FILTER BRAMLOE_WIN_SOURCES INCLUDE REGEX "_win\\.cpp$")
list(FILTER BRAMLOE_WIN_SOURCES EXCLUDE REGEX "_main_win\\.cpp$")
add_library(bramloe_win STATIC ${BRAMLOE_WIN_SOURCES})
bramloe_flags(bramloe_win)
target_include_directories(bramloe_win PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(bramloe_win PUBLIC bramloe_core soundtouch ${BRAMLOE_WIN_LIBS})

# The icon: drawn by a script kept in the repository, packed by icoutils' icotool.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(BRAMLOE_ICOTOOL icotool REQUIRED)
set(BRAMLOE_ICON_DIR ${CMAKE_BINARY_DIR}/resources)
add_custom_command(OUTPUT ${BRAMLOE_ICON_DIR}/bramloe.ico
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/src/resources/draw_icon.py ${BRAMLOE_ICON_DIR}
  COMMAND ${BRAMLOE_ICOTOOL} -c -o ${BRAMLOE_ICON_DIR}/bramloe.ico
          ${BRAMLOE_ICON_DIR}/icon-16.png ${BRAMLOE_ICON_DIR}/icon-32.png
          ${BRAMLOE_ICON_DIR}/icon-48.png -r ${BRAMLOE_ICON_DIR}/icon-256.png
  DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/draw_icon.py VERBATIM)
add_custom_target(bramloe_icon DEPENDS ${BRAMLOE_ICON_DIR}/bramloe.ico)

set(BRAMLOE_RC ${CMAKE_SOURCE_DIR}/src/resources/bramloe.rc)
set_source_files_properties(${BRAMLOE_RC} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/ids.h;${CMAKE_SOURCE_DIR}/src/resources/version.h;${CMAKE_SOURCE_DIR}/src/resources/bramloe.manifest;${BRAMLOE_ICON_DIR}/bramloe.ico"
  INCLUDE_DIRECTORIES ${BRAMLOE_ICON_DIR}
  COMPILE_DEFINITIONS "BRAMLOE_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};BRAMLOE_VERSION_MINOR=${PROJECT_VERSION_MINOR}")

add_executable(bramloe WIN32 ${CMAKE_SOURCE_DIR}/src/app/bramloe_main_win.cpp ${BRAMLOE_RC})
bramloe_flags(bramloe)
target_link_libraries(bramloe PRIVATE bramloe_win)
add_dependencies(bramloe bramloe_icon)
# The link map names every library the static link took in; the release's notices are
# read from it (scripts/release.py).
target_link_options(bramloe PRIVATE -Wl,-Map=${CMAKE_BINARY_DIR}/bramloe.map)

# The match report: a console program over the same matching and scanning code.
if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/match_report_main_win.cpp)
  add_executable(bramloe-match ${CMAKE_SOURCE_DIR}/src/app/match_report_main_win.cpp)
  bramloe_flags(bramloe-match)
  target_link_libraries(bramloe-match PRIVATE bramloe_win)
  target_link_options(bramloe-match PRIVATE -Wl,-Map=${CMAKE_BINARY_DIR}/bramloe-match.map)
endif()

# Small programs the tests start (a logger standing in for the editor, drivers that
# reach into the running player from a second process).
file(GLOB BRAMLOE_TEST_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/tools/*.cpp)
foreach(src ${BRAMLOE_TEST_TOOLS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  bramloe_flags(${name})
  target_link_libraries(${name} PRIVATE bramloe_win)
endforeach()

# The portable tests and the in-process Win32 tests in one Windows executable. It
# carries the program's resources so the tests load the real menu, accelerators and
# dialog.
file(GLOB BRAMLOE_WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
add_executable(bramloe_wintests ${BRAMLOE_NATIVE_TESTS} ${BRAMLOE_WINE_TESTS} ${BRAMLOE_RC})
bramloe_flags(bramloe_wintests)
target_link_libraries(bramloe_wintests PRIVATE bramloe_win gtest_main version)
add_dependencies(bramloe_wintests bramloe_icon)
target_compile_definitions(bramloe_wintests PRIVATE BRAMLOE_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}"
  BRAMLOE_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# Wine's drive Z: is the Unix root.
include(${CMAKE_SOURCE_DIR}/cmake/test_media.cmake)
bramloe_reads_test_media(bramloe_wintests Z:${BRAMLOE_TEST_MEDIA_DIR})
gtest_discover_tests(bramloe_wintests TEST_PREFIX "wine." DISCOVERY_TIMEOUT 120
  DISCOVERY_MODE PRE_TEST
  PROPERTIES RESOURCE_LOCK wine_display TIMEOUT 300
             ENVIRONMENT "BRAMLOE_BUILD_DIR=${CMAKE_BINARY_DIR};BRAMLOE_HARNESS_OPTIONS=")

# End-to-end runs of the real executables, driven by scripts.
file(GLOB BRAMLOE_E2E CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.sh)
foreach(script ${BRAMLOE_E2E})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND bash ${script})
  set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK wine_display TIMEOUT 600
    ENVIRONMENT "BRAMLOE_BUILD_DIR=${CMAKE_BINARY_DIR};BRAMLOE_SOURCE_DIR=${CMAKE_SOURCE_DIR};BRAMLOE_HARNESS_OPTIONS=")
endforeach()

# Benchmarks that need the platform: Windows programs run under Wine (bench/*.sh).
file(GLOB BRAMLOE_WIN_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_winbench.cpp)
foreach(src ${BRAMLOE_WIN_BENCHES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  bramloe_flags(${name})
  target_link_libraries(${name} PRIVATE bramloe_win)
endforeach()
