# Sanitizer builds apply to every target so that the engine and its tests are instrumented alike.
if(QUILLOT_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(QUILLOT_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT QUILLOT_SANITIZE STREQUAL "")
  message(FATAL_ERROR "QUILLOT_SANITIZE must be empty, 'address' or 'thread'")
endif()

# Fuzzing builds instrument every library for coverage and memory errors; the fuzz targets
# themselves add libFuzzer's main (tests/fuzz).
if(QUILLOT_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
