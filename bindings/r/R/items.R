# Item parameter tables: which layout a table is in, its values as slopes, intercepts and
# guessing, and the same table with new values written back in its own layout.
#
# Layouts, told apart by the column names:
#   "mirt"     a1 .. ak, d, optional g and u (mirt's coef(fit, simplify = TRUE)$items)
#   "irtpars"  a, b, optional g and u (one dimension; the intercept is d = -a b)
#   "plain"    no column names (or read.table's V1, V2, ...): k slopes, intercept, guessing
# An upper asymptote u is not part of the model and is not used.

.table_kind <- function(x, which) {
  if (!is.data.frame(x) && !is.matrix(x)) {
    stop(sprintf("%s: a matrix or a data frame of item parameters is wanted, not %s",
                 which, class(x)[1]), call. = FALSE)
  }
  if (nrow(x) == 0L) stop(sprintf("%s: the table holds no items", which), call. = FALSE)
  names <- colnames(x)
  if (is.null(names) || all(grepl("^V[0-9]+$", names))) return("plain")
  if ("d" %in% names || any(grepl("^a[0-9]+$", names))) return("mirt")
  if ("a" %in% names || "b" %in% names) return("irtpars")
  stop(sprintf(paste0("%s: columns %s are no item parameter layout: name them a1 .. ak, d, g ",
                      "(mirt's coef(fit, simplify = TRUE)$items), a, b, g (IRTpars), or give ",
                      "k slopes, the intercept and guessing without column names"),
               which, paste(names, collapse = ", ")), call. = FALSE)
}

# The column of x at index j as numbers; an error naming it when it is not numeric.
.numeric_column <- function(x, j, which) {
  v <- if (is.data.frame(x)) x[[j]] else x[, j]
  # A column of nothing but NA reads as logical; it is refused later as not finite.
  if (!(is.numeric(v) || (is.logical(v) && all(is.na(v))))) {
    name <- if (is.null(colnames(x))) paste("column", j) else sprintf("column '%s'", colnames(x)[j])
    stop(sprintf("%s: %s is not numeric (%s)", which, name, class(v)[1]), call. = FALSE)
  }
  as.double(v)
}

.row_labels <- function(x) {
  if (is.data.frame(x)) {
    if (.row_names_info(x) < 0L) return(NULL)  # automatic row names
    return(rownames(x))
  }
  rownames(x)
}

# The table's layout and values: slopes (n x k), intercepts, guessing, the columns they came
# from and the row labels. check: refuse values a link cannot take, naming the row.
.item_table <- function(x, which, check = TRUE) {
  kind <- .table_kind(x, which)
  names <- colnames(x)
  n <- nrow(x)
  if (kind == "plain") {
    if (ncol(x) < 3L) {
      stop(sprintf(paste0("%s: %d columns; a table without column names holds k slopes, the ",
                          "intercept and the guessing parameter (k + 2 columns, at least 3)"),
                   which, ncol(x)), call. = FALSE)
    }
    k <- ncol(x) - 2L
    cols <- list(a = seq_len(k), d = k + 1L, g = k + 2L, b = NULL, u = NULL)
  } else if (kind == "mirt") {
    slope_cols <- grep("^a[0-9]+$", names)
    k <- length(slope_cols)
    if (k == 0L || !identical(names[slope_cols], paste0("a", seq_len(k)))) {
      stop(sprintf("%s: the slope columns must be a1 .. ak in order; they are %s", which,
                   if (k == 0L) "missing" else paste(names[slope_cols], collapse = ", ")),
           call. = FALSE)
    }
    cols <- list(a = slope_cols, d = match("d", names), g = match("g", names, 0L),
                 b = NULL, u = match("u", names, 0L))
    if (is.na(cols$d)) stop(sprintf("%s: no intercept column d", which), call. = FALSE)
  } else {
    k <- 1L
    cols <- list(a = match("a", names), d = NULL, g = match("g", names, 0L),
                 b = match("b", names), u = match("u", names, 0L))
    if (is.na(cols$a)) stop(sprintf("%s: no slope column a", which), call. = FALSE)
    if (is.na(cols$b)) stop(sprintf("%s: no difficulty column b", which), call. = FALSE)
  }
  if (kind != "plain") {
    used <- unlist(cols[c("a", "d", "g", "b", "u")])
    other <- setdiff(seq_along(names), used)
    if (length(other)) {
      stop(sprintf("%s: column%s %s %s no item parameter of the layout (%s)", which,
                   if (length(other) > 1L) "s" else "", paste(sQuote(names[other], FALSE),
                                                              collapse = ", "),
                   if (length(other) > 1L) "are" else "is",
                   if (kind == "mirt") "a1 .. ak, d, g, u" else "a, b, g, u"), call. = FALSE)
    }
  }
  slopes <- matrix(0, n, k)
  for (j in seq_len(k)) slopes[, j] <- .numeric_column(x, cols$a[j], which)
  if (kind == "irtpars") {
    b <- .numeric_column(x, cols$b, which)
    intercepts <- -slopes[, 1L] * b
  } else {
    intercepts <- .numeric_column(x, cols$d, which)
  }
  guessing <- if (length(cols$g) && cols$g > 0L) .numeric_column(x, cols$g, which) else rep(0, n)
  labels <- .row_labels(x)
  table <- list(kind = kind, k = k, cols = cols, slopes = slopes, intercepts = intercepts,
                guessing = guessing, labels = labels)
  if (check) .check_values(x, table, which)
  table
}

.row_name <- function(table, i) {
  if (is.null(table$labels)) paste("row", i) else sprintf("row '%s'", table$labels[i])
}

.column_name <- function(x, j) {
  if (is.null(colnames(x)) || all(grepl("^V[0-9]+$", colnames(x)))) paste("column", j)
  else sprintf("column %s", colnames(x)[j])
}

# Missing and infinite values and guessing outside [0, 1), named by row and column.
.check_values <- function(x, table, which) {
  cols <- table$cols
  value_cols <- c(cols$a, if (table$kind == "irtpars") cols$b else cols$d,
                  if (length(cols$g) && cols$g > 0L) cols$g)
  for (j in value_cols) {
    v <- .numeric_column(x, j, which)
    bad <- which(!is.finite(v))
    if (length(bad)) {
      stop(sprintf("%s, %s, %s: %s is not a finite number", which, .row_name(table, bad[1L]),
                   .column_name(x, j), format(v[bad[1L]])), call. = FALSE)
    }
  }
  bad <- which(!(table$guessing >= 0 & table$guessing < 1))
  if (length(bad)) {
    stop(sprintf("%s, %s: the guessing parameter %s is not at least 0 and below 1", which,
                 .row_name(table, bad[1L]), format(table$guessing[bad[1L]])), call. = FALSE)
  }
  if (length(cols$u) && cols$u > 0L) {
    u <- .numeric_column(x, cols$u, which)
    off <- which(!is.na(u) & u != 1)
    if (length(off)) {
      warning(sprintf("%s: the upper asymptote u is not 1 for %d item%s (first %s); u is not used",
                      which, length(off), if (length(off) > 1L) "s" else "",
                      .row_name(table, off[1L])), call. = FALSE)
    }
  }
}

# x with new slopes and intercepts written in its own layout (class, columns, row names and
# every other column as they were).
.with_values <- function(x, table, slopes, intercepts) {
  set <- function(x, j, v) {
    if (is.data.frame(x)) x[[j]] <- v else x[, j] <- v
    x
  }
  cols <- table$cols
  if (table$kind == "irtpars") {
    x <- set(x, cols$a, slopes[, 1L])
    x <- set(x, cols$b, -intercepts / slopes[, 1L])
    return(x)
  }
  for (j in seq_len(table$k)) x <- set(x, cols$a[j], slopes[, j])
  set(x, cols$d, intercepts)
}
