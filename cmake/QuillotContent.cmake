# The program's Content folder, made in the build tree at ${CMAKE_BINARY_DIR}/Content:
# - the shader sources of content/shaders/ are copied to Content/Graphics/Shaders/;
# - the content generator (tools/content) writes the generated pictures (Graphics/Fonts/Font.png)
#   and the folder tree.
# The program finds its content beside its executable, so every executable that needs content
# calls quillot_use_content(<target>): a link named Content beside it points at the one folder.

set(QUILLOT_CONTENT_DIR ${CMAKE_BINARY_DIR}/Content)

find_file(QUILLOT_FONT_FILE DejaVuSansMono.ttf
  PATHS /usr/share/fonts/truetype/dejavu /usr/share/fonts/dejavu /usr/share/fonts/TTF
  NO_DEFAULT_PATH REQUIRED)

set(QUILLOT_CONTENT_STAMP ${QUILLOT_CONTENT_DIR}/.generated)
add_custom_command(OUTPUT ${QUILLOT_CONTENT_STAMP}
  COMMAND quillot_content ${QUILLOT_CONTENT_DIR} font=${QUILLOT_FONT_FILE}
  COMMAND ${CMAKE_COMMAND} -E touch ${QUILLOT_CONTENT_STAMP}
  DEPENDS quillot_content ${QUILLOT_FONT_FILE}
  COMMENT "Generating the content pictures"
  VERBATIM)

file(GLOB QUILLOT_SHADER_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/content/shaders/*)
set(QUILLOT_CONTENT_FILES ${QUILLOT_CONTENT_STAMP})
foreach(source ${QUILLOT_SHADER_SOURCES})
  get_filename_component(name ${source} NAME)
  set(copied ${QUILLOT_CONTENT_DIR}/Graphics/Shaders/${name})
  add_custom_command(OUTPUT ${copied}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLOT_CONTENT_DIR}/Graphics/Shaders
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copied}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND QUILLOT_CONTENT_FILES ${copied})
endforeach()

add_custom_target(quillot_content_folder ALL DEPENDS ${QUILLOT_CONTENT_FILES})

function(quillot_use_content target)
  add_dependencies(${target} quillot_content_folder)
  if(WIN32)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUILLOT_CONTENT_DIR} $<TARGET_FILE_DIR:${target}>/Content
      VERBATIM)
  else()
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E create_symlink ${QUILLOT_CONTENT_DIR} $<TARGET_FILE_DIR:${target}>/Content
      VERBATIM)
  endif()
endfunction()
