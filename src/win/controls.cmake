# The skinned controls and drawing helpers of the Windows window layer, and the skin bitmaps as
# resources. Included by src/win/CMakeLists.txt.
add_library(lumio_win_controls STATIC
  ${CMAKE_CURRENT_LIST_DIR}/header_ctrl_cl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_cl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_cl_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_cl_port.cpp
  ${CMAKE_CURRENT_LIST_DIR}/offscreen_dc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reflect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_slider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_slider_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/subclass.cpp)
target_compile_definitions(lumio_win_controls PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(lumio_win_controls PUBLIC lumio_core lumio_winbase comctl32 gdi32 user32
                      PRIVATE lumio_warnings)

# The program's lumio.rc includes skin_bitmaps.rc itself; programs without it (the controls'
# tests) link this object library for the same bitmaps. An object library, because a static
# library's resource object would be dropped by the linker: nothing refers to it.
# skin_bitmaps.rc names its bitmaps from the source root: every resource script of this folder
# (lumio.rc too, which includes it) is compiled with the root as an include directory.
include_directories($<$<COMPILE_LANGUAGE:RC>:${PROJECT_SOURCE_DIR}>)
add_library(lumio_skin_bitmaps OBJECT ${CMAKE_CURRENT_LIST_DIR}/skin_bitmaps.rc)
file(GLOB lumio_skin_bmps CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/skin/*.bmp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/skin_bitmaps.rc PROPERTIES
  OBJECT_DEPENDS "${lumio_skin_bmps}")
