// Parser: statements and statement blocks (see ParserImpl.h). A block ends
// at a line that closes it or that an enclosing block is waiting for; a
// block left open is reported at its first line.
#include <algorithm>

#include "ParserImpl.h"

namespace kqc {

Block Parser::block(Closer own) {
    Block out;
    for (;;) {
        skipBlankLines();
        Closer c = classify();
        if (c == Closer::None) {
            size_t start = pos_;
            if (StmtPtr s = statement(false)) out.push_back(std::move(s));
            if (pos_ == start) {
                skipLine();
            } else if (tokens_[pos_ - 1].kind != Tok::Newline) {
                endOfStatement(); // a block statement left open ends at a line start
            }
            continue;
        }
        if (c == own) return out;
        bool enclosing = c == Closer::MemberStart || c == Closer::TypeEnd ||
                         c == Closer::TypeStart || c == Closer::EndOfFile ||
                         std::find(open_.begin(), open_.end(), c) != open_.end();
        if (enclosing) return out;
        std::string what = describe(cur());
        if (at(Tok::KwEnd)) what = "'End " + peek(1).text + "'";
        error(cur().pos, "unexpected " + what);
        skipLine();
    }
}

StmtPtr Parser::statement(bool singleLine) {
    switch (cur().kind) {
    case Tok::KwDim:
        return dimStatement();
    case Tok::KwConst: {
        auto s = std::make_unique<ConstStmt>(cur().pos);
        s->decl = constDecl(take().pos);
        return s;
    }
    case Tok::KwIf:
        return ifStatement(singleLine);
    case Tok::KwSelect:
    case Tok::KwFor:
    case Tok::KwWhile:
    case Tok::KwDo:
    case Tok::KwTry:
        if (singleLine) {
            error(cur().pos, describe(cur()) + " cannot follow Then on the same line");
            return nullptr;
        }
        switch (cur().kind) {
        case Tok::KwSelect:
            return selectStatement();
        case Tok::KwFor:
            return forStatement();
        case Tok::KwWhile:
            return whileStatement();
        case Tok::KwDo:
            return doStatement();
        default:
            return tryStatement();
        }
    case Tok::KwExit:
        return jumpStatement(true);
    case Tok::KwContinue:
        return jumpStatement(false);
    case Tok::KwReturn: {
        auto s = std::make_unique<ReturnStmt>(take().pos);
        if (!at(Tok::Newline) && !at(Tok::EndOfFile) && !at(Tok::KwElse)) s->value = expression();
        return s;
    }
    case Tok::KwRaise: {
        auto s = std::make_unique<RaiseStmt>(take().pos);
        s->value = expression();
        return s;
    }
    default:
        return expressionStatement();
    }
}

// `Dim a, b(10) As Type [= value]`, `Dim x As New Class(args)`, `Dim x = value`.
StmtPtr Parser::dimStatement() {
    auto s = std::make_unique<DimStmt>(take().pos);
    do {
        DimVar v;
        v.name = expectName(&v.pos, "a variable name");
        if (v.name.empty()) return nullptr;
        arraySuffix(&v.isArray, &v.bounds);
        s->vars.push_back(std::move(v));
    } while (accept(Tok::Comma));
    if (accept(Tok::KwAs)) {
        if (at(Tok::KwNew)) {
            auto n = std::make_unique<NewExpr>(take().pos);
            n->cls.name = expectName(&n->cls.pos, "a class name");
            if (at(Tok::LParen)) arguments(n->args);
            s->type = n->cls;
            s->init = std::move(n);
            s->asNew = true;
        } else {
            s->type = typeRef();
        }
    }
    if (accept(Tok::Equal)) {
        if (s->init) error(s->pos, "a variable declared 'As New' takes no further value");
        s->init = expression();
    }
    if (!s->type.present() && !s->init) {
        error(s->pos, "Dim needs a type ('As Type') or a value");
    }
    return s;
}

StmtPtr Parser::ifStatement(bool nested) {
    auto s = std::make_unique<IfStmt>(take().pos);
    IfBranch first;
    first.pos = s->pos;
    first.cond = expression();
    if (!expect(Tok::KwThen)) {
        // Resynchronise at the Then further on, if the line has one.
        first.cond = std::make_unique<Expr>(ExprKind::Error, first.pos);
        size_t then = pos_;
        while (tokens_[then].kind != Tok::KwThen && tokens_[then].kind != Tok::Newline &&
               tokens_[then].kind != Tok::EndOfFile) {
            ++then;
        }
        if (tokens_[then].kind == Tok::KwThen) {
            while (pos_ <= then)
                take();
        } else if (then != pos_) {
            while (pos_ < then)
                take();
            return nullptr;
        } // else `If cond` alone on its line: read the block as if Then stood there
    }
    if (!at(Tok::Newline) && !at(Tok::EndOfFile)) {
        s->singleLine = true;
        if (StmtPtr body = statement(true)) first.body.push_back(std::move(body));
        s->branches.push_back(std::move(first));
        if (accept(Tok::KwElse)) {
            s->hasElse = true;
            if (StmtPtr body = statement(true)) s->elseBody.push_back(std::move(body));
        }
        return s;
    }
    if (nested) {
        error(s->pos, "only a single-line If can follow Then on the same line");
        return nullptr;
    }
    endOfStatement();
    open_.push_back(Closer::If);
    first.body = block(Closer::If);
    s->branches.push_back(std::move(first));
    for (;;) {
        bool elseIf = at(Tok::KwElseIf) || (at(Tok::KwElse) && peek(1).kind == Tok::KwIf);
        if (elseIf) {
            IfBranch branch;
            branch.pos = cur().pos;
            if (take().kind == Tok::KwElse) take();
            if (s->hasElse) error(branch.pos, "ElseIf after Else");
            branch.cond = expression();
            expect(Tok::KwThen);
            endOfStatement();
            branch.body = block(Closer::If);
            s->branches.push_back(std::move(branch));
        } else if (at(Tok::KwElse)) {
            if (s->hasElse) error(cur().pos, "a second Else in one If");
            take();
            s->hasElse = true;
            endOfStatement();
            Block body = block(Closer::If);
            for (StmtPtr &stmt : body)
                s->elseBody.push_back(std::move(stmt));
        } else {
            closeWith("if", s->pos, "If", "End If");
            break;
        }
    }
    open_.pop_back();
    return s;
}

// Consumes `End <word>` when the current line is it; otherwise the block
// that opened at openPos is reported as not closed.
bool Parser::closeWith(const char *folded, SourcePos openPos, const char *opener,
                       const char *closer) {
    if (!atEndOf(folded)) {
        notClosed(openPos, opener, closer);
        return false;
    }
    take();
    take();
    return true;
}

StmtPtr Parser::selectStatement() {
    auto s = std::make_unique<SelectStmt>(take().pos);
    expect(Tok::KwCase);
    s->selector = expression();
    endOfStatement();
    open_.push_back(Closer::Select);
    for (;;) {
        skipBlankLines();
        if (at(Tok::KwCase)) {
            CaseBlock c;
            c.pos = take().pos;
            if (accept(Tok::KwElse)) {
                c.isElse = true;
            } else {
                do {
                    if (!caseClause(c)) break;
                } while (accept(Tok::Comma));
            }
            bool afterElse = !s->cases.empty() && s->cases.back().isElse;
            if (afterElse) error(c.pos, "Case after Case Else");
            endOfStatement();
            c.body = block(Closer::Select);
            s->cases.push_back(std::move(c));
        } else if (classify() == Closer::None) {
            unexpected("Case");
            skipLine();
        } else {
            closeWith("select", s->pos, "Select Case", "End Select");
            break;
        }
    }
    open_.pop_back();
    return s;
}

// `value`, `low To high`, or `Is <comparison> value`.
bool Parser::caseClause(CaseBlock &c) {
    CaseClause clause;
    clause.pos = cur().pos;
    if (accept(Tok::KwIs)) {
        clause.kind = CaseClause::Kind::Is;
        switch (cur().kind) {
        case Tok::Equal:
            clause.op = Op::Eq;
            break;
        case Tok::NotEqual:
            clause.op = Op::Ne;
            break;
        case Tok::Less:
            clause.op = Op::Lt;
            break;
        case Tok::Greater:
            clause.op = Op::Gt;
            break;
        case Tok::LessEqual:
            clause.op = Op::Le;
            break;
        case Tok::GreaterEqual:
            clause.op = Op::Ge;
            break;
        default:
            unexpected("a comparison after Is");
            return false;
        }
        take();
        clause.value = expression();
    } else {
        clause.value = expression();
        if (accept(Tok::KwTo)) {
            clause.kind = CaseClause::Kind::Range;
            clause.upper = expression();
        }
    }
    c.clauses.push_back(std::move(clause));
    return true;
}

// `For i [As Type] = a To|DownTo b [Step s]` ... `Next [i]`.
StmtPtr Parser::forStatement() {
    auto s = std::make_unique<ForStmt>(take().pos);
    if (atWord("each")) {
        error(cur().pos, "For Each is not part of Kestlang; count with For i = 0 To ...");
        return nullptr;
    }
    s->var = expectName(&s->varPos, "the loop variable");
    if (s->var.empty()) return nullptr;
    if (accept(Tok::KwAs)) s->declType = typeRef();
    if (!expect(Tok::Equal)) return nullptr;
    s->from = expression();
    if (accept(Tok::KwDownTo)) {
        s->downTo = true;
    } else if (!expect(Tok::KwTo, "'To' or 'DownTo'")) {
        return nullptr;
    }
    s->to = expression();
    if (accept(Tok::KwStep)) s->step = expression();
    endOfStatement();
    open_.push_back(Closer::For);
    s->body = block(Closer::For);
    open_.pop_back();
    if (at(Tok::KwNext)) {
        s->nextPos = take().pos;
        if (at(Tok::Identifier)) s->nextVar = take().text;
    } else {
        notClosed(s->pos, "For", "Next");
    }
    return s;
}

StmtPtr Parser::whileStatement() {
    auto s = std::make_unique<WhileStmt>(take().pos);
    s->cond = expression();
    endOfStatement();
    open_.push_back(Closer::While);
    s->body = block(Closer::While);
    open_.pop_back();
    if (!accept(Tok::KwWend)) closeWith("while", s->pos, "While", "Wend");
    return s;
}

// `Do [Until|While cond]` ... `Loop [Until|While cond]`.
StmtPtr Parser::doStatement() {
    auto s = std::make_unique<DoStmt>(take().pos);
    if (at(Tok::KwUntil) || at(Tok::KwWhile)) {
        s->preUntil = take().kind == Tok::KwUntil;
        s->preCond = expression();
    }
    endOfStatement();
    open_.push_back(Closer::Do);
    s->body = block(Closer::Do);
    open_.pop_back();
    if (!at(Tok::KwLoop)) {
        notClosed(s->pos, "Do", "Loop");
        return s;
    }
    SourcePos loopPos = take().pos;
    if (at(Tok::KwUntil) || at(Tok::KwWhile)) {
        s->postUntil = take().kind == Tok::KwUntil;
        s->postCond = expression();
        if (s->preCond)
            error(loopPos, "a Do loop has its condition at the top or at the bottom, not both");
    }
    return s;
}

StmtPtr Parser::tryStatement() {
    auto s = std::make_unique<TryStmt>(take().pos);
    endOfStatement();
    open_.push_back(Closer::Try);
    s->body = block(Closer::Try);
    for (;;) {
        if (at(Tok::KwCatch)) {
            CatchClause c;
            c.pos = take().pos;
            if (s->hasFinally) error(c.pos, "Catch after Finally");
            if (at(Tok::Identifier)) {
                c.varPos = cur().pos;
                c.var = take().text;
                if (accept(Tok::KwAs)) c.type = typeRef();
            }
            endOfStatement();
            c.body = block(Closer::Try);
            s->catches.push_back(std::move(c));
        } else if (at(Tok::KwFinally)) {
            if (s->hasFinally) error(cur().pos, "a second Finally in one Try");
            take();
            s->hasFinally = true;
            endOfStatement();
            Block body = block(Closer::Try);
            for (StmtPtr &stmt : body)
                s->finallyBody.push_back(std::move(stmt));
        } else {
            closeWith("try", s->pos, "Try", "End Try");
            break;
        }
    }
    open_.pop_back();
    return s;
}

StmtPtr Parser::jumpStatement(bool isExit) {
    SourcePos pos = take().pos;
    JumpTarget target = JumpTarget::Loop;
    switch (cur().kind) {
    case Tok::KwFor:
        target = JumpTarget::For;
        break;
    case Tok::KwWhile:
        target = JumpTarget::While;
        break;
    case Tok::KwDo:
        target = JumpTarget::Do;
        break;
    case Tok::KwSub:
        target = JumpTarget::Sub;
        break;
    case Tok::KwFunction:
        target = JumpTarget::Function;
        break;
    default:
        break;
    }
    if (target != JumpTarget::Loop) take();
    if (!isExit && (target == JumpTarget::Sub || target == JumpTarget::Function)) {
        error(pos, "Continue goes on with a loop: Continue [For|While|Do]");
    }
    if (isExit) return std::make_unique<ExitStmt>(pos, target);
    return std::make_unique<ContinueStmt>(pos, target);
}

// An assignment, or a call with or without parentheses. `Name (a) + b`
// and `Name (a), b` are calls of Name whose first argument starts with a
// parenthesised expression.
StmtPtr Parser::expressionStatement() {
    SourcePos pos = cur().pos;
    if (!startsExpression(cur().kind) || at(Tok::KwNot) || at(Tok::Minus) || at(Tok::Plus)) {
        unexpected("a statement");
        return nullptr;
    }
    ExprPtr target = postfix(primary());
    if (accept(Tok::Equal)) {
        auto s = std::make_unique<AssignStmt>(pos);
        s->target = std::move(target);
        s->value = expression();
        return s;
    }
    auto s = std::make_unique<CallStmt>(pos);
    bool lineEnds = at(Tok::Newline) || at(Tok::EndOfFile) || at(Tok::KwElse);
    if (target->kind == ExprKind::Call) {
        auto *call = static_cast<CallExpr *>(target.get());
        bool continues =
            (!lineEnds && !startsExpression(cur().kind)) || at(Tok::Minus) || at(Tok::Plus);
        if (continues && call->args.size() == 1 && call->callee->kind != ExprKind::Call) {
            ExprPtr first = binaryRest(std::move(call->args[0]), 0);
            call->args.clear();
            call->args.push_back(std::move(first));
            while (accept(Tok::Comma))
                call->args.push_back(expression());
            call->parenthesized = false;
        }
        s->call = std::move(target);
        return s;
    }
    if (target->kind != ExprKind::Name && target->kind != ExprKind::Member) {
        error(pos, "this expression is not a statement");
        return nullptr;
    }
    auto call = std::make_unique<CallExpr>(pos, std::move(target));
    call->parenthesized = false;
    if (!lineEnds && startsExpression(cur().kind) && !at(Tok::Plus)) {
        do {
            call->args.push_back(expression());
        } while (accept(Tok::Comma));
    }
    s->call = std::move(call);
    return s;
}

} // namespace kqc
