# Every quoted include of the libraries, benchmarks and fuzz targets must be found through the
# include path, which shows a target only the headers of what it links. A quoted include is first
# looked up beside the including file, so "Settings.h" from storage/ or "fakes/FakeClock.h" from
# platform/ would bypass that; here such an include is an error.
# Usage: cmake -DSOURCE_DIR=<repository> -P CheckIncludes.cmake
# The tests include their own helpers beside them; main.cpp, at the root, links the whole program.
file(GLOB children LIST_DIRECTORIES true ${SOURCE_DIR}/*)
set(files)
foreach(child IN LISTS children)
    get_filename_component(name ${child} NAME)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt AND NOT name STREQUAL "tests")
        file(GLOB_RECURSE found ${child}/*.cpp ${child}/*.h)
        list(APPEND files ${found})
    endif()
endforeach()
set(faults 0)
foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    get_filename_component(dir ${file} DIRECTORY)
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
        if(EXISTS ${dir}/${header})
            file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
            message(SEND_ERROR "${shown}: \"${header}\" is found beside the file, not through "
                               "the include path; name it from its top folder")
            math(EXPR faults "${faults} + 1")
        endif()
    endforeach()
endforeach()
list(LENGTH files count)
message(STATUS "${count} files checked, ${faults} includes beside the file")
