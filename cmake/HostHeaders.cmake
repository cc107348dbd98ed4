# Header-only libraries from Debian (nlohmann-json) live in /usr/include, which a cross compiler must not
# search as a whole. Each is linked alone into a folder of the build tree and offered from there.
function(zerkon_host_header_library target header_dir)
    if(NOT EXISTS "/usr/include/${header_dir}")
        message(FATAL_ERROR "/usr/include/${header_dir} is missing: run 'make setup' (or install the -dev package)")
    endif()
    set(root "${CMAKE_BINARY_DIR}/host-headers/${target}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "/usr/include/${header_dir}" "${root}/${header_dir}" SYMBOLIC)
    add_library(${target} INTERFACE)
    target_include_directories(${target} SYSTEM INTERFACE "${root}")
endfunction()

zerkon_host_header_library(nlohmann_json_headers nlohmann)
