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

# The exe compiles the libraries' sources once more, for size: without exception tables, unwind tables and
# type information (the program throws, catches and casts nothing), each function in its own section so
# the linker drops what nothing calls. lean_runtime.cc stands in for the C++ library's throwing error
# paths, allocator and terminate handler, which would otherwise pull in the unwinder and the demangler.
# The libraries themselves, which the tests link, keep the default flags.
add_executable(zentavo WIN32 win_main.cc lean_runtime.cc ${res_dir}/zentavo_res.o)
target_compile_options(zentavo PRIVATE -fno-exceptions -fno-asynchronous-unwind-tables -fno-rtti
                                       -ffunction-sections -fdata-sections)
target_link_options(zentavo PRIVATE -mwindows -s -Wl,--gc-sections)

# Takes the sources, definitions and include folders of the libraries, once every directory has defined its
# targets (platform/win32 comes after app/).
function(zentavo_take_library_sources)
  set(libraries ${ARGN})
  foreach(library IN LISTS libraries)
    target_compile_definitions(zentavo PRIVATE $<TARGET_PROPERTY:${library},COMPILE_DEFINITIONS>)
    target_include_directories(zentavo PRIVATE $<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>)
    get_target_property(dir ${library} SOURCE_DIR)
    get_target_property(sources ${library} SOURCES)
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir})
      target_sources(zentavo PRIVATE ${source})
    endforeach()
    # System libraries only: the libraries' own objects must not be linked beside their copies.
    get_target_property(links ${library} LINK_LIBRARIES)
    foreach(link IN LISTS links)
      if(link AND NOT TARGET ${link} AND NOT link IN_LIST libraries)
        target_link_libraries(zentavo PRIVATE ${link})
      endif()
    endforeach()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR}
               CALL zentavo_take_library_sources app_core scheduler values platform_win32)
