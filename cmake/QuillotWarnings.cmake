# Every target of the project gets the same warning set through this interface library.
add_library(quillot_warnings INTERFACE)
target_compile_options(quillot_warnings INTERFACE -Wall -Wextra)
if(QUILLOT_WERROR)
  target_compile_options(quillot_warnings INTERFACE -Werror)
endif()
