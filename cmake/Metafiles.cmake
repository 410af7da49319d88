# libwmf and libemf2svg ship no usable CMake or pkg-config description:
# find their headers and libraries and wrap them in imported targets.
find_package(Freetype REQUIRED)

find_path(LIBWMF_INCLUDE_DIR libwmf/api.h REQUIRED)
# Only the player (libwmflite) is linked: the program draws with a device of its own.
find_library(LIBWMFLITE_LIBRARY wmflite REQUIRED)
add_library(Brisca::libwmf INTERFACE IMPORTED)
target_include_directories(Brisca::libwmf INTERFACE ${LIBWMF_INCLUDE_DIR})
target_link_libraries(Brisca::libwmf INTERFACE ${LIBWMFLITE_LIBRARY} Freetype::Freetype)

find_path(EMF2SVG_INCLUDE_DIR emf2svg.h REQUIRED)
find_library(EMF2SVG_LIBRARY emf2svg REQUIRED)
add_library(Brisca::emf2svg INTERFACE IMPORTED)
target_include_directories(Brisca::emf2svg INTERFACE ${EMF2SVG_INCLUDE_DIR})
target_link_libraries(Brisca::emf2svg INTERFACE ${EMF2SVG_LIBRARY})
