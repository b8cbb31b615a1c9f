# The product, zentavo.exe: PE32 i386, GUI subsystem, static, stripped, with its icon, link pointer and
# version information. Included by app/CMakeLists.txt; Windows builds only.
if(NOT WIN32)
  return()
endif()

set(res_dir ${CMAKE_CURRENT_BINARY_DIR}/res)
set(res_src ${CMAKE_CURRENT_SOURCE_DIR}/res)
file(MAKE_DIRECTORY ${res_dir})

# The icon and cursor are drawn by a small tool built for, and run on, the build machine.
find_program(ZENTAVO_HOST_CXX NAMES g++ c++ REQUIRED)
find_program(ZENTAVO_ICONV iconv REQUIRED)
add_custom_command(
  OUTPUT ${res_dir}/make_icons
  COMMAND ${ZENTAVO_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -o ${res_dir}/make_icons ${res_src}/make_icons.cc
  DEPENDS ${res_src}/make_icons.cc
  COMMENT "Building the icon tool for the build machine")
add_custom_command(
  OUTPUT ${res_dir}/zentavo.ico ${res_dir}/hand.cur
  COMMAND ${res_dir}/make_icons ${res_dir}/zentavo.ico ${res_dir}/hand.cur ${res_src}/hand.txt
  DEPENDS ${res_dir}/make_icons ${res_src}/hand.txt
  COMMENT "Drawing the icon and the link pointer")
add_custom_command(
  OUTPUT ${res_dir}/zentavo.gbk.rc
  COMMAND ${ZENTAVO_ICONV} -f UTF-8 -t GBK -o ${res_dir}/zentavo.gbk.rc ${res_src}/zentavo.rc
  DEPENDS ${res_src}/zentavo.rc
  COMMENT "Converting the resource script to GBK")
add_custom_command(
  OUTPUT ${res_dir}/zentavo_res.o
  COMMAND ${CMAKE_RC_COMPILER} -c 936 -I${res_dir} -I${CMAKE_SOURCE_DIR} --input-format=rc --output-format=coff
          -i ${res_dir}/zentavo.gbk.rc -o ${res_dir}/zentavo_res.o
  DEPENDS ${res_dir}/zentavo.gbk.rc ${res_dir}/zentavo.ico ${res_dir}/hand.cur
          ${CMAKE_SOURCE_DIR}/platform/win32/resource_ids.h
  COMMENT "Compiling the resources")

add_executable(zentavo WIN32 win_main.cc ${res_dir}/zentavo_res.o)
target_link_libraries(zentavo PRIVATE app_core platform_win32)
target_link_options(zentavo PRIVATE -mwindows -s)
