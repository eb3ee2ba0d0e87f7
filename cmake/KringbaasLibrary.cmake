# A library shows the code that links it only the headers it lists among its own sources, under
# their folder ("storage/Records.h"); the repository root is on no include path. A layer that
# includes a header of a library it does not link, such as the store reaching for a window, then
# fails to compile.
#
# Each listed header gets a symbolic link in <build>/headers/<target>/<folder>/, and that tree is
# the target's public include directory. Several libraries may share a folder (the store and the
# record control's window part, the ham list's rules and its windows): each exports only its own
# files. The links are made when the target's folder has been read, so headers added later with
# target_sources() count too. A header left out of the list is reachable from nowhere, not even
# from its own library.
function(kb_export_headers target)
    set(root ${CMAKE_BINARY_DIR}/headers/${target})
    target_include_directories(${target} PUBLIC ${root})
    # A deferred call expands its arguments when it runs, so they are written out now.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL _kb_link_headers [[${target}]] [[${root}]])")
endfunction()

function(_kb_link_headers target root)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    # Drop the links of headers the target no longer lists.
    file(REMOVE_RECURSE ${root})
    foreach(source IN LISTS sources)
        if(NOT source MATCHES "\\.h$")
            continue()
        endif()
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE
                   OUTPUT_VARIABLE absolute)
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${absolute} NORMALIZE inside)
        if(NOT inside)
            message(FATAL_ERROR "${target}: header ${source} lies outside the source tree")
        endif()
        cmake_path(RELATIVE_PATH absolute BASE_DIRECTORY ${PROJECT_SOURCE_DIR}
                   OUTPUT_VARIABLE relative)
        cmake_path(GET relative PARENT_PATH folder)
        file(MAKE_DIRECTORY ${root}/${folder})
        file(CREATE_LINK ${absolute} ${root}/${relative} SYMBOLIC)
    endforeach()
endfunction()

# A test that the include paths keep a layer from reaching upward: a file that links <library>
# and includes <header> must fail to compile because the header is not found. The probe is left
# out of the normal build; the test builds it.
function(kb_add_layering_test name library header)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${header})
        # Otherwise the test would pass for a header that merely went away.
        message(FATAL_ERROR "${name}: ${header} does not exist")
    endif()
    set(probe kb_probe_${name})
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${probe}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "#include \"@header@\"\n" @ONLY)
    add_library(${probe} OBJECT EXCLUDE_FROM_ALL ${source})
    set_target_properties(${probe} PROPERTIES AUTOMOC OFF)
    target_link_libraries(${probe} PRIVATE ${library})
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${probe})
    # The message of GCC ("X.h: No such file") or of clang ("'X.h' file not found").
    string(REPLACE "." "[.]" pattern ${header})
    set_tests_properties(${name} PROPERTIES
        PASS_REGULAR_EXPRESSION "${pattern}'?:? (No such file|file not found)"
        RESOURCE_LOCK kb_build_tree TIMEOUT 300)
endfunction()

# No target may have the repository root, or a folder above its own, on its include path: that
# would show it every header. Called once, after every folder has been read.
function(kb_check_include_paths)
    set(pending ${PROJECT_SOURCE_DIR})
    while(pending)
        list(POP_FRONT pending dir)
        get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
        list(APPEND pending ${subdirs})
        get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            set(paths)
            if(NOT type STREQUAL "INTERFACE_LIBRARY")
                get_target_property(own ${target} INCLUDE_DIRECTORIES)
                list(APPEND paths ${own})
            endif()
            get_target_property(public ${target} INTERFACE_INCLUDE_DIRECTORIES)
            list(APPEND paths ${public})
            foreach(path IN LISTS paths)
                if(NOT path OR path MATCHES "NOTFOUND$" OR path MATCHES "^\\$<")
                    continue()
                endif()
                cmake_path(IS_PREFIX path ${PROJECT_SOURCE_DIR}/ NORMALIZE shows_root)
                if(shows_root)
                    message(FATAL_ERROR "${target} has ${path} on its include path, which shows "
                                        "it every header; a library exports its own headers with "
                                        "kb_export_headers(${target})")
                endif()
            endforeach()
        endforeach()
    endwhile()
endfunction()

# A library that must run without a screen (the models under the windows) links nothing of Qt
# beyond Qt Core, also not through the libraries it links. Called once, after every folder has
# been read.
#
# Both what a target passes on (INTERFACE_LINK_LIBRARIES) and what it links itself
# (LINK_LIBRARIES) count: a static library's private links are passed on as $<LINK_ONLY:...>, and a
# shared library's private links load with it all the same. Any other generator expression is
# searched for the targets it names, whatever its condition.
function(kb_check_core_only target)
    set(pending ${target})
    set(seen)
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        if(current MATCHES "^Qt6::" AND NOT current STREQUAL "Qt6::Core")
            message(FATAL_ERROR "${target} must link Qt Core only, but reaches ${current}")
        endif()
        if(current MATCHES "^Qt6::")
            continue()
        endif()
        set(links)
        get_target_property(imported ${current} IMPORTED)
        if(NOT imported)
            get_target_property(own ${current} LINK_LIBRARIES)
            if(own)
                list(APPEND links ${own})
            endif()
        endif()
        get_target_property(passed ${current} INTERFACE_LINK_LIBRARIES)
        if(passed)
            list(APPEND links ${passed})
        endif()
        foreach(link IN LISTS links)
            if(link MATCHES "\\$<")
                string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_.+-]*(::[A-Za-z0-9_.+-]+)*" names
                       "${link}")
                list(APPEND pending ${names})
            else()
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
endfunction()
