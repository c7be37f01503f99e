# nlohmann-json, header-only, for kestro-cli's --json: the target kestro_json. A cross build takes
# the build machine's header, since the mingw root holds no package of it; it comes in through a
# folder that holds that library alone, so that none of the host's other headers can shadow the
# Windows ones.
add_library(kestro_json INTERFACE)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json 3.9 CONFIG QUIET)
endif()
if(nlohmann_json_FOUND)
  target_link_libraries(kestro_json INTERFACE nlohmann_json::nlohmann_json)
  return()
endif()
find_path(KESTRO_JSON_HEADERS nlohmann/json.hpp PATHS /usr/include /usr/local/include NO_CMAKE_FIND_ROOT_PATH
          DOC "The folder that holds nlohmann/json.hpp")
if(NOT KESTRO_JSON_HEADERS)
  message(FATAL_ERROR "kestro-cli needs nlohmann-json 3.9 or later (Debian: nlohmann-json3-dev); "
                      "name the folder that holds nlohmann/json.hpp with -DKESTRO_JSON_HEADERS=DIR")
endif()
set(shelf ${CMAKE_BINARY_DIR}/nlohmann-json)
file(MAKE_DIRECTORY ${shelf})
file(CREATE_LINK ${KESTRO_JSON_HEADERS}/nlohmann ${shelf}/nlohmann COPY_ON_ERROR SYMBOLIC)
target_include_directories(kestro_json SYSTEM INTERFACE ${shelf})
