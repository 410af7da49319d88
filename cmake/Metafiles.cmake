# libwmf ships no usable CMake or pkg-config description: find its headers
# and library and wrap them in an imported target.
find_package(Freetype REQUIRED)

find_path(LIBWMF_INCLUDE_DIR libwmf/api.h REQUIRED)
# Only the player (libwmflite) is linked: the program draws with a device of its own.
find_library(LIBWMFLITE_LIBRARY wmflite REQUIRED)
add_library(Brisca::libwmf INTERFACE IMPORTED)
target_include_directories(Brisca::libwmf INTERFACE ${LIBWMF_INCLUDE_DIR})
target_link_libraries(Brisca::libwmf INTERFACE ${LIBWMFLITE_LIBRARY} Freetype::Freetype)

