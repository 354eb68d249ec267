# Header-only libraries from the build machine's Debian packages (nlohmann-json3-dev,
# libcli11-dev). The MinGW toolchains search only their own sysroot, and /usr/include as a whole
# would bring glibc's headers into a Windows build, so each library gets an include folder of
# its own in the build tree that holds just its headers.
function(lumivar_header_library target header)
    get_filename_component(folder ${header} DIRECTORY)
    find_path(${target}_root ${header} PATHS /usr/include NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH)
    if(NOT ${target}_root)
        message(FATAL_ERROR "${header} not found: install the package that provides it")
    endif()
    set(own ${CMAKE_BINARY_DIR}/header_libraries/${target})
    file(MAKE_DIRECTORY ${own})
    file(CREATE_LINK ${${target}_root}/${folder} ${own}/${folder} SYMBOLIC)
    add_library(${target} INTERFACE)
    target_include_directories(${target} SYSTEM INTERFACE ${own})
endfunction()

lumivar_header_library(lumivar_json nlohmann/json.hpp)
lumivar_header_library(lumivar_cli11 CLI/CLI.hpp)
