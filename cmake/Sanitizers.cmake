if(TAVRIK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
if(TAVRIK_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# libFuzzer needs clang; fuzz targets are built only in a sanitizer tree made with it.
if(TAVRIK_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(TAVRIK_FUZZ ON)
else()
    set(TAVRIK_FUZZ OFF)
endif()
