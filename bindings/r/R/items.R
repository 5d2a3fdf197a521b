# Item parameter tables: which layout a table is in, its values as slopes, intercepts,
# guessing and categories, and the same table with new values written back in its own layout.
#
# Layouts, told apart by the column names:
#   "mirt"     a1 .. ak, then d, g, u for dichotomous items and d1 .. d(m-1) for graded and
#              partial credit items of m categories, partial credit items also with ak0 ..
#              ak(m-1) (their scores 0 .. m-1) and d0 (0), NA where an item has no such
#              parameter: mirt's coef(fit, simplify = TRUE)$items. A column model ("3PL",
#              "2PL", "graded" or "gpcm") may name each item's model instead of the NA pattern.
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
  if ("d" %in% names || any(grepl("^(a|d)[0-9]+$", names))) return("mirt")
  if ("a" %in% names || "b" %in% names) return("irtpars")
  stop(sprintf(paste0("%s: columns %s are no item parameter layout: name them a1 .. ak, d, g ",
                      "(mirt's coef(fit, simplify = TRUE)$items, with d1 .. for graded and ",
                      "partial credit items), a, b, g (IRTpars), or give ",
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

# The columns prefix<first>, prefix<first + 1>, .. of names up to the highest number there, in
# number order; an error when one in between is missing.
.numbered_columns <- function(names, prefix, first, which) {
  at <- grep(sprintf("^%s[0-9]+$", prefix), names)
  numbers <- as.integer(substring(names[at], nchar(prefix) + 1L))
  numbers <- numbers[numbers >= first]
  if (!length(numbers)) return(integer())
  wanted <- paste0(prefix, seq(first, max(numbers)))
  cols <- match(wanted, names)
  if (anyNA(cols)) {
    stop(sprintf("%s: there are columns %s .. %s but no column %s", which, wanted[1L],
                 wanted[length(wanted)], wanted[is.na(cols)][1L]), call. = FALSE)
  }
  cols
}

# The table's layout and values: slopes (n x k), intercepts (d, or d1 of a polytomous item),
# guessing, categories (NULL when every item is dichotomous by layout), the columns they came
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
    cols <- list(a = slope_cols, d = match("d", names, 0L), g = match("g", names, 0L),
                 b = NULL, u = match("u", names, 0L), model = match("model", names, 0L),
                 dk = .numbered_columns(names, "d", 1L, which), d0 = match("d0", names, 0L),
                 ak = .numbered_columns(names, "ak", 0L, which))
    if (cols$d == 0L && !length(cols$dk)) {
      stop(sprintf("%s: no intercept column d (or d1 .. for graded and partial credit items)",
                   which), call. = FALSE)
    }
  } else {
    k <- 1L
    cols <- list(a = match("a", names), d = NULL, g = match("g", names, 0L),
                 b = match("b", names), u = match("u", names, 0L))
    if (is.na(cols$a)) stop(sprintf("%s: no slope column a", which), call. = FALSE)
    if (is.na(cols$b)) stop(sprintf("%s: no difficulty column b", which), call. = FALSE)
  }
  if (kind != "plain") {
    used <- unlist(cols)
    other <- setdiff(seq_along(names), used)
    if (length(other)) {
      stop(sprintf("%s: column%s %s %s no item parameter of the layout (%s)", which,
                   if (length(other) > 1L) "s" else "", paste(sQuote(names[other], FALSE),
                                                              collapse = ", "),
                   if (length(other) > 1L) "are" else "is",
                   if (kind == "mirt") "a1 .. ak, d, g, u, d1 .., ak0 .., d0, model"
                   else "a, b, g, u"), call. = FALSE)
    }
  }
  slopes <- matrix(0, n, k)
  for (j in seq_len(k)) slopes[, j] <- .numeric_column(x, cols$a[j], which)
  labels <- .row_labels(x)
  table <- list(kind = kind, k = k, cols = cols, slopes = slopes, labels = labels,
                categories = NULL)
  if (kind == "mirt" && (length(cols$dk) || length(cols$ak) || cols$d0 > 0L || cols$model > 0L)) {
    items <- .items_by_model(x, table, which, check)
    table$intercepts <- items$intercepts
    table$guessing <- items$guessing
    table$categories <- items$categories
    table$cells <- items$cells
  } else {
    table$intercepts <- if (kind == "irtpars") {
      -slopes[, 1L] * .numeric_column(x, cols$b, which)
    } else {
      .numeric_column(x, cols$d, which)
    }
    table$guessing <- if (cols$g > 0L) .numeric_column(x, cols$g, which) else rep(0, n)
  }
  if (check) .check_values(x, table, which)
  table
}

# The item models of the model column, by the names mirt gives them.
.model_kinds <- c("3pl" = "dichotomous", "2pl" = "dichotomous", graded = "graded",
                  gpcm = "gpcm")
.kind_names <- c(dichotomous = "dichotomous", graded = "graded", gpcm = "partial credit (gpcm)")
.most_categories <- 20L

.listed <- function(values) paste(vapply(values, format, ""), collapse = ", ")

# The items of a mirt table with graded or partial credit columns (or a model column): each
# item's model (from the model column, else from which of d, d1 .. and ak0 .. hold values),
# category count m, first intercept (d, or d1), intercepts d2 .. d(m-1) and guessing (0 for a
# polytomous item), and the cells an intercept shift s moves: d_k by k s for a partial credit
# item, by s otherwise. check: also refuse values a link cannot take.
.items_by_model <- function(x, table, which, check) {
  cols <- table$cols
  n <- nrow(x)
  column <- function(j) if (j > 0L) .numeric_column(x, j, which) else rep(NA_real_, n)
  block <- function(js) matrix(vapply(js, column, numeric(n)), nrow = n)
  d <- column(cols$d)
  dk <- block(cols$dk)
  ak <- block(cols$ak)
  d0 <- column(cols$d0)
  g <- if (cols$g > 0L) column(cols$g) else rep(0, n)
  model <- NULL
  if (cols$model > 0L) {
    model <- if (is.data.frame(x)) x[[cols$model]] else x[, cols$model]
    model <- tolower(trimws(as.character(model)))
    model[model == ""] <- NA
    bad <- which(!is.na(model) & !(model %in% names(.model_kinds)))
    if (length(bad)) {
      stop(sprintf("%s, %s: the model %s is none of 3PL, 2PL, graded, gpcm", which,
                   .row_name(table, bad[1L]), sQuote(model[bad[1L]], FALSE)), call. = FALSE)
    }
  }
  kinds <- character(n)
  counts <- integer(n)
  first <- numeric(n)
  guessing <- numeric(n)
  rest <- vector("list", n)
  cells <- vector("list", n)
  for (i in seq_len(n)) {
    where <- sprintf("%s, %s", which, .row_name(table, i))
    fail <- function(...) stop(sprintf("%s: %s", where, sprintf(...)), call. = FALSE)
    values <- dk[i, ]
    scores <- ak[i, ]
    has_d <- !is.na(d[i])
    has_dk <- any(!is.na(values))
    has_ak <- any(!is.na(scores))
    kind <- if (!is.null(model) && !is.na(model[i])) {
      .model_kinds[[model[i]]]
    } else if (has_ak) {
      "gpcm"
    } else if (has_d && has_dk) {
      fail(paste0("both d and d1 .. hold values: a dichotomous item has d, a graded or ",
                  "partial credit item d1 .. (or name the model in a column model)"))
    } else if (has_d) {
      "dichotomous"
    } else if (has_dk) {
      "graded"
    } else {
      fail("no intercept (d, or d1 .. for a graded or partial credit item)")
    }
    if (!is.na(d0[i]) && d0[i] != 0) {
      fail("d0 is %s; it is 0 (the intercept of category 0)", format(d0[i]))
    }
    if (kind == "dichotomous") {
      if (has_ak) fail("a dichotomous item has no ak values")
      if (has_d && has_dk) fail("a dichotomous item has one intercept, d, but d1 .. hold values")
      if (!has_d && !(length(values) && !is.na(values[1L]) && all(is.na(values[-1L])))) {
        fail("a dichotomous item's intercept is d (or d1 alone)")
      }
      col <- if (has_d) cols$d else cols$dk[1L]
      kinds[i] <- "dichotomous"
      counts[i] <- 2L
      first[i] <- if (has_d) d[i] else values[1L]
      guessing[i] <- g[i]
      cells[[i]] <- c(i, col, 1)
      if (check && !is.finite(first[i])) {
        fail("column %s: %s is not a finite number", colnames(x)[col], format(first[i]))
      }
      if (check && !is.finite(g[i])) fail("column g: %s is not a finite number", format(g[i]))
      next
    }
    if (has_d) fail("a %s item's intercepts are d1 .. d(m-1), not d", .kind_names[[kind]])
    given <- if (all(!is.na(values))) length(values) else which(is.na(values))[1L] - 1L
    if (given == 0L) fail("a %s item without intercepts d1 ..", .kind_names[[kind]])
    if (any(!is.na(values[-seq_len(given)]))) {
      fail("d%d holds no value but a later intercept does", given + 1L)
    }
    m <- given + 1L
    if (m > .most_categories) {
      fail("%d categories; an item has at most %d", m, .most_categories)
    }
    if (kind == "graded" && has_ak) {
      fail("ak values belong to partial credit (gpcm) items, not to a graded one")
    }
    if (kind == "gpcm" && has_ak &&
        !(length(scores) >= m && identical(as.double(scores[seq_len(m)]), as.double(0:(m - 1L))) &&
          all(is.na(scores[-seq_len(m)])))) {
      fail(paste0("ak0 .. are %s; a gpcm item of %d categories scores them 0 .. %d (other ",
                  "scores make a nominal item, which is not linked)"),
           .listed(scores[!is.na(scores)]), m, m - 1L)
    }
    if (!is.na(g[i]) && g[i] != 0) {
      fail("a %s item has no guessing parameter (g is %s)", .kind_names[[kind]], format(g[i]))
    }
    intercepts <- values[seq_len(given)]
    if (check) {
      off <- which(!is.finite(intercepts))
      if (length(off)) {
        fail("column d%d: %s is not a finite number", off[1L], format(intercepts[off[1L]]))
      }
      if (kind == "graded" && m > 2L && any(diff(intercepts) >= 0)) {
        fail("the intercepts of a graded item must decrease (d1 > d2 > ...); they are %s",
             .listed(intercepts))
      }
    }
    kinds[i] <- kind
    counts[i] <- m
    first[i] <- intercepts[1L]
    rest[[i]] <- intercepts[-1L]
    cells[[i]] <- rbind(i, cols$dk[seq_len(given)],
                        if (kind == "gpcm") seq_len(given) else 1)
  }
  kinds[counts == 2L] <- "dichotomous"  # a graded or partial credit item of 2 is a 2PL
  cells <- matrix(unlist(cells), nrow = 3L)
  list(intercepts = first, guessing = guessing,
       categories = list(kinds = kinds, counts = counts, rest = rest),
       cells = list(row = cells[1L, ], col = cells[2L, ], factor = cells[3L, ]))
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
  # Intercepts and guessing of a table by item model were checked item by item.
  by_model <- !is.null(table$categories)
  value_cols <- c(cols$a, if (table$kind == "irtpars") cols$b else if (!by_model) cols$d,
                  if (!by_model && length(cols$g) && cols$g > 0L) cols$g)
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

# x with new slopes written in its own layout and each item's intercepts moved by shift (d_k
# by k shift for a partial credit item); class, columns, row names and every other column as
# they were.
.with_values <- function(x, table, slopes, shift) {
  set <- function(x, j, v) {
    if (is.data.frame(x)) x[[j]] <- v else x[, j] <- v
    x
  }
  cols <- table$cols
  intercepts <- table$intercepts + shift
  if (table$kind == "irtpars") {
    x <- set(x, cols$a, slopes[, 1L])
    x <- set(x, cols$b, -intercepts / slopes[, 1L])
    return(x)
  }
  for (j in seq_len(table$k)) x <- set(x, cols$a[j], slopes[, j])
  if (is.null(table$cells)) return(set(x, cols$d, intercepts))
  cells <- table$cells
  for (j in unique(cells$col)) {
    here <- cells$col == j
    rows <- cells$row[here]
    v <- .numeric_column(x, j, "items")
    v[rows] <- v[rows] + cells$factor[here] * shift[rows]
    x <- set(x, j, v)
  }
  x
}
