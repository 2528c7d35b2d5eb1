# KissFFT, the voice stage's FFT: built once into this tree from Debian's source package
# (scripts/kissfft.sh), for Windows with the same toolchain file as the program and
# natively for the native tests, and linked statically into whatever links the portable
# units. third_party/kissfft/ holds its notes.
set(BRAMLOE_KISSFFT ${CMAKE_BINARY_DIR}/kissfft)
if(NOT EXISTS ${BRAMLOE_KISSFFT}/lib/libkissfft-float.a)
  message(STATUS "Building KissFFT from Debian's source package into ${BRAMLOE_KISSFFT}")
  set(BRAMLOE_KISSFFT_ARGS ${BRAMLOE_KISSFFT})
  if(WIN32)
    list(APPEND BRAMLOE_KISSFFT_ARGS ${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake)
  endif()
  execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/kissfft.sh ${BRAMLOE_KISSFFT_ARGS}
                  RESULT_VARIABLE BRAMLOE_KISSFFT_RESULT)
  if(NOT BRAMLOE_KISSFFT_RESULT EQUAL 0)
    message(FATAL_ERROR "KissFFT could not be built (see ${BRAMLOE_KISSFFT}.log)")
  endif()
endif()
add_library(kissfft STATIC IMPORTED)
set_target_properties(kissfft PROPERTIES
  IMPORTED_LOCATION ${BRAMLOE_KISSFFT}/lib/libkissfft-float.a
  INTERFACE_INCLUDE_DIRECTORIES ${BRAMLOE_KISSFFT}/include)
