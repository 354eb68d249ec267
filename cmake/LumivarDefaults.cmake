# What every target of the project compiles and links with, as one interface target that each
# target links: warnings as errors, the project root as the include root, the Windows API
# settings, a self-contained and reproducible program on Windows, and the sanitizer of the run.
add_library(lumivar_defaults INTERFACE)
target_compile_options(lumivar_defaults INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Werror>)
target_include_directories(lumivar_defaults INTERFACE ${PROJECT_SOURCE_DIR})

if(WIN32)
    target_compile_definitions(lumivar_defaults INTERFACE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    # One self-contained program: no runtime DLLs beside it.
    target_link_options(lumivar_defaults INTERFACE -static -static-libgcc -static-libstdc++)
    # The same commit builds the same bytes: no link time in the PE header, no build folder in
    # the strings that name source files.
    target_link_options(lumivar_defaults INTERFACE -Wl,--no-insert-timestamp)
    target_compile_options(lumivar_defaults INTERFACE
        $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                                    -ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
endif()

if(LUMIVAR_SANITIZE STREQUAL "address")
    set(sanitize_flags -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
                       -fno-omit-frame-pointer)
    target_compile_options(lumivar_defaults INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:${sanitize_flags}>)
    target_link_options(lumivar_defaults INTERFACE ${sanitize_flags})
elseif(LUMIVAR_SANITIZE STREQUAL "thread")
    target_compile_options(lumivar_defaults INTERFACE
        $<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=thread -fno-omit-frame-pointer>)
    target_link_options(lumivar_defaults INTERFACE -fsanitize=thread)
endif()

# The fuzz configuration (clang): everything with coverage for libFuzzer and both sanitizers.
if(LUMIVAR_FUZZ)
    set(fuzz_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                   -fno-omit-frame-pointer)
    target_compile_options(lumivar_defaults INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:${fuzz_flags}>)
    target_link_options(lumivar_defaults INTERFACE -fsanitize=address,undefined)
endif()
