# kivoro_library(NAME DIR...): a static library of every .cpp below the given folders.
# New files are picked up at the next build (CONFIGURE_DEPENDS), so adding a source
# never needs an edit here.
function(kivoro_library name)
    set(sources)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    add_library(${name} STATIC ${sources} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
