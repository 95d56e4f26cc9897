# The window front end: the text font generated from the console font, the pure
# picture code, and the freeglut window with its X connections.

set(MORVANE_CONSOLE_FONT /usr/share/consolefonts/default8x16.psf.gz CACHE FILEPATH
    "gzip'd PSF1 console font of 256 glyphs of 8 x 16 in code page 437 order")

find_package(ZLIB REQUIRED)
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED)
find_package(GLUT REQUIRED)
find_package(GLEW REQUIRED)
find_package(X11 REQUIRED)

# Reading PSF1 fonts (also tested on its own) and the generator built on it.
add_library(morvane_psf1 STATIC tools/psf1_font.cpp)
target_include_directories(morvane_psf1 PUBLIC tools)
add_executable(make_font_table tools/make_font_table.cpp)
target_link_libraries(make_font_table PRIVATE morvane_psf1 ZLIB::ZLIB)

set(cp437_font_source ${PROJECT_BINARY_DIR}/generated/cp437_font.cpp)
add_custom_command(
  OUTPUT ${cp437_font_source}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
  COMMAND make_font_table ${MORVANE_CONSOLE_FONT} ${cp437_font_source}
  DEPENDS make_font_table ${MORVANE_CONSOLE_FONT}
  COMMENT "Generating the code page 437 font table"
  VERBATIM)

# The 256 x 16 glyph table.
add_library(morvane_font STATIC ${cp437_font_source})
target_include_directories(morvane_font PUBLIC platform/window)

# Display frame to pixels, and the picture's place per display mode; no GL.
add_library(morvane_frame_pixels STATIC
  platform/window/frame_pixels.cpp
  platform/window/display_layout.cpp)
target_include_directories(morvane_frame_pixels PUBLIC platform/window)
target_link_libraries(morvane_frame_pixels PUBLIC morvane_text morvane_font)

# X key events to key presses: a table over the keysyms, no X connection.
add_library(morvane_window_keys STATIC platform/window/window_keys.cpp)
target_include_directories(morvane_window_keys PUBLIC platform/window)
target_link_libraries(morvane_window_keys PUBLIC morvane_input)

# The freeglut window: glut_window.h.
add_library(morvane_window STATIC
  platform/window/glut_window.cpp
  platform/window/x_close_request.cpp
  platform/window/x_key_watch.cpp)
target_include_directories(morvane_window PUBLIC platform/window)
target_link_libraries(morvane_window
  PUBLIC morvane_run
  PRIVATE morvane_window_keys morvane_frame_pixels morvane_input morvane_text morvane_errors morvane_flags
          GLEW::GLEW GLUT::GLUT OpenGL::GL OpenGL::GLX X11::X11)
